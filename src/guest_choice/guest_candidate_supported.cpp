#include "guest_choice/guest_candidate_supported.hpp"

#include "guest_choice/guest_name_lists.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/variant.hpp>

using namespace godot;

namespace veltrin {

namespace {

size_t first_slot(const StringName &p_name) {
	return size_t(uint64_t(p_name.hash()) % GuestCandidateKeyKinds::SLOT_COUNT);
}

void add_kind(GuestCandidateKeyKinds &r_kinds, const GuestBatchKey &p_key, GuestCandidateKeyKind p_kind) {
	size_t slot = first_slot(p_key.name);
	while (r_kinds.slots[slot].kind != GUEST_KEY_UNCHECKED) {
		slot = (slot + 1) % GuestCandidateKeyKinds::SLOT_COUNT;
	}
	r_kinds.slots[slot].name = p_key.name;
	r_kinds.slots[slot].kind = p_kind;
}

bool has_type(const Variant &p_value, Variant::Type p_type, Variant::Type p_other_type) {
	const Variant::Type type = p_value.get_type();
	return type == p_type || type == p_other_type;
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
}

GuestCandidateKeyKind guest_candidate_key_kind(const GuestCandidateKeyKinds &p_kinds, const StringName &p_key) {
	size_t slot = first_slot(p_key);
	while (p_kinds.slots[slot].kind != GUEST_KEY_UNCHECKED) {
		if (p_kinds.slots[slot].name == p_key) {
			return p_kinds.slots[slot].kind;
		}
		slot = (slot + 1) % GuestCandidateKeyKinds::SLOT_COUNT;
	}
	return GUEST_KEY_UNCHECKED;
}

bool guest_candidate_supported(const GuestCandidateKeyKinds &p_kinds, const Dictionary &p_candidate) {
	if (p_candidate.is_typed()) {
		return false;
	}
	// Only the keys the candidate has can fail: an absent key passes every test. A String key
	// names the same entry as the StringName of its text.
	const Array keys = p_candidate.keys();
	const Array values = p_candidate.values();
	const int64_t count = keys.size() < values.size() ? keys.size() : values.size();
	for (int64_t i = 0; i < count; i++) {
		const Variant &key = keys[i];
		if (!has_type(key, Variant::STRING_NAME, Variant::STRING)) {
			continue;
		}
		const Variant &value = values[i];
		switch (guest_candidate_key_kind(p_kinds, key)) {
			case GUEST_KEY_INTEGER:
				if (value.get_type() != Variant::INT) {
					return false;
				}
				break;
			case GUEST_KEY_SWITCH:
				if (!has_type(value, Variant::BOOL, Variant::INT)) {
					return false;
				}
				break;
			case GUEST_KEY_TEXT:
				if (!has_type(value, Variant::STRING, Variant::STRING_NAME)) {
					return false;
				}
				break;
			case GUEST_KEY_NAME_LIST:
				if (!guest_names_supported(value)) {
					return false;
				}
				break;
			case GUEST_KEY_UNCHECKED:
				break;
		}
	}
	return true;
}

} // namespace veltrin
