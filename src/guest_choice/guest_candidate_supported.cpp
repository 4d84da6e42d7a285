#include "guest_choice/guest_candidate_supported.hpp"

#include "guest_choice/guest_name_lists.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <climits>
#include <utility>

using namespace godot;

namespace veltrin {

namespace {

constexpr size_t NO_SLOT = GuestCandidateKeyKinds::SLOT_COUNT;

bool has_type(const Variant &p_value, Variant::Type p_type, Variant::Type p_other_type) {
	const Variant::Type type = p_value.get_type();
	return type == p_type || type == p_other_type;
}

size_t first_slot(int64_t p_hash) {
	return size_t(uint64_t(p_hash) % GuestCandidateKeyKinds::SLOT_COUNT);
}

void add_kind(GuestCandidateKeyKinds &r_kinds, const GuestBatchKey &p_key, GuestCandidateKeyKind p_kind) {
	size_t slot = first_slot(p_key.hash);
	while (r_kinds.slots[slot].kind != GUEST_KEY_UNCHECKED) {
		slot = (slot + 1) % GuestCandidateKeyKinds::SLOT_COUNT;
	}
	r_kinds.slots[slot].name = p_key.name;
	r_kinds.slots[slot].key = &p_key;
	r_kinds.slots[slot].kind = p_kind;
}

// The slot of a candidate's key, or NO_SLOT when the batch does not read it.
size_t key_slot(const GuestCandidateKeyKinds &p_kinds, const StringName &p_key) {
	size_t slot = first_slot(p_key.hash());
	while (p_kinds.slots[slot].kind != GUEST_KEY_UNCHECKED) {
		if (p_kinds.slots[slot].name == p_key) {
			return slot;
		}
		slot = (slot + 1) % GuestCandidateKeyKinds::SLOT_COUNT;
	}
	return NO_SLOT;
}

// The same for a key as the candidate holds it. A String and a StringName of one text hash
// alike, so the key's own hash finds the slot; the stored hashes rule out most slots without
// asking the engine, and a StringName key (the usual one) is confirmed with one comparison.
size_t variant_key_slot(const GuestCandidateKeyKinds &p_kinds, const Variant &p_key) {
	const int64_t hash = int64_t(p_key.hash());
	size_t slot = first_slot(hash);
	while (p_kinds.slots[slot].kind != GUEST_KEY_UNCHECKED) {
		const GuestBatchKey &key = *p_kinds.slots[slot].key;
		if (uint32_t(key.hash) == uint32_t(hash)) {
			if (p_key.hash_compare(key.key)) {
				return slot;
			}
			if (p_key.get_type() == Variant::STRING) {
				return key_slot(p_kinds, p_key);
			}
		}
		slot = (slot + 1) % GuestCandidateKeyKinds::SLOT_COUNT;
	}
	return NO_SLOT;
}

bool value_fits(GuestCandidateKeyKind p_kind, const Variant &p_value) {
	switch (p_kind) {
		case GUEST_KEY_INTEGER:
			return p_value.get_type() == Variant::INT;
		case GUEST_KEY_SWITCH:
			return has_type(p_value, Variant::BOOL, Variant::INT);
		case GUEST_KEY_TEXT:
			return has_type(p_value, Variant::STRING, Variant::STRING_NAME);
		case GUEST_KEY_NAME_LIST:
			return guest_names_supported(p_value);
		case GUEST_KEY_UNCHECKED:
		case GUEST_KEY_ANY:
			break;
	}
	return true;
}

// One pass over the candidate's entries: false at the first value the batch cannot read;
// with r_facts, each read key's index among the values is recorded.
bool scan_candidate(const GuestCandidateKeyKinds &p_kinds, const Dictionary &p_candidate, bool p_check, GuestRowFacts *r_facts) {
	if (r_facts) {
		r_facts->kinds = &p_kinds;
		for (int32_t &index : r_facts->index) {
			index = -1;
		}
	}
	if (p_check && p_candidate.is_typed()) {
		return false;
	}
	// Only the keys the candidate has can fail: an absent key passes every test. A String key
	// names the same entry as the StringName of its text.
	const Array keys = p_candidate.keys();
	Array values = p_candidate.values();
	const int64_t count = keys.size() < values.size() ? keys.size() : values.size();
	for (int64_t i = 0; i < count; i++) {
		const size_t slot = variant_key_slot(p_kinds, keys[i]);
		if (slot == NO_SLOT) {
			continue;
		}
		if (p_check && !value_fits(p_kinds.slots[slot].kind, values[i])) {
			return false;
		}
		if (r_facts && i <= INT32_MAX) {
			r_facts->index[slot] = int32_t(i);
		}
	}
	if (r_facts) {
		r_facts->values = std::move(values);
	}
	return true;
}

} // namespace

GuestCandidateKeyKinds::GuestCandidateKeyKinds(const GuestBatchNames &p_names) {
	const GuestBatchKey *const integers[] = {
		&p_names.travel_minutes,
		&p_names.wait_minutes,
		&p_names.expected_wait,
		&p_names.wait_hard_limit,
		&p_names.risk_level,
		&p_names.risk,
		&p_names.illegal_level,
		&p_names.expected_quality,
		&p_names.quality,
		&p_names.minimum_quality,
		&p_names.estimated_total_gold,
		&p_names.price_gold,
		&p_names.quoted_price,
		&p_names.need_priority,
		&p_names.preference,
		&p_names.novelty,
		&p_names.group_fit,
		&p_names.price_burden,
		&p_names.risk_sensitivity,
		&p_names.repetition_penalty,
		&p_names.urgency,
	};
	for (const GuestBatchKey *key : integers) {
		add_kind(*this, *key, GUEST_KEY_INTEGER);
	}
	const GuestBatchKey *const switches[] = {
		&p_names.inputs_available,
		&p_names.adult_only,
		&p_names.requires_adult_verified,
		&p_names.is_open,
		&p_names.open,
		&p_names.open_at_arrival,
		&p_names.reachable,
		&p_names.credit_allowed,
		&p_names.allow_credit,
		&p_names.discretionary,
		&p_names.respect_survival_reserve,
		&p_names.legal_permission_override,
		&p_names.ok,
	};
	for (const GuestBatchKey *key : switches) {
		add_kind(*this, *key, GUEST_KEY_SWITCH);
	}
	for (const GuestBatchKey *key : { &p_names.facility_id, &p_names.instance_id, &p_names.service_category }) {
		add_kind(*this, *key, GUEST_KEY_TEXT);
	}
	for (const GuestBatchKey *key : { &p_names.required_guest_tags, &p_names.forbidden_guest_tags, &p_names.allowed_guest_types, &p_names.facility_tags, &p_names.tags }) {
		add_kind(*this, *key, GUEST_KEY_NAME_LIST);
	}
	for (const GuestBatchKey *key : { &p_names.need_relief, &p_names.need_effects }) {
		add_kind(*this, *key, GUEST_KEY_ANY);
	}
}

size_t GuestCandidateKeyKinds::slot_of(const GuestBatchKey &p_key) const {
	size_t slot = first_slot(p_key.hash);
	while (slots[slot].kind != GUEST_KEY_UNCHECKED) {
		if (slots[slot].key == &p_key) {
			return slot;
		}
		slot = (slot + 1) % SLOT_COUNT;
	}
	return NO_SLOT;
}

const Variant *GuestRowFacts::find(const GuestBatchKey &p_key) const {
	const size_t slot = kinds->slot_of(p_key);
	if (slot == NO_SLOT || index[slot] < 0) {
		return nullptr;
	}
	return &values[index[slot]];
}

GuestCandidateKeyKind guest_candidate_key_kind(const GuestCandidateKeyKinds &p_kinds, const StringName &p_key) {
	const size_t slot = key_slot(p_kinds, p_key);
	// A key read without a check is, as far as the check goes, unchecked.
	return slot == NO_SLOT || p_kinds.slots[slot].kind == GUEST_KEY_ANY ? GUEST_KEY_UNCHECKED : p_kinds.slots[slot].kind;
}

bool guest_candidate_supported(const GuestCandidateKeyKinds &p_kinds, const Dictionary &p_candidate) {
	return scan_candidate(p_kinds, p_candidate, true, nullptr);
}

bool guest_candidate_supported(const GuestCandidateKeyKinds &p_kinds, const Dictionary &p_candidate, GuestRowFacts &r_facts) {
	return scan_candidate(p_kinds, p_candidate, true, &r_facts);
}

GuestRowFacts guest_row_facts(const GuestCandidateKeyKinds &p_kinds, const Dictionary &p_candidate) {
	GuestRowFacts facts;
	scan_candidate(p_kinds, p_candidate, false, &facts);
	return facts;
}

} // namespace veltrin
