#include "guest_choice/guest_frame.hpp"

#include "common/builtin.hpp"
#include "common/script_paths.hpp"
#include "guest_choice/guest_name_lists.hpp"

using namespace godot;

namespace veltrin {

namespace {

constexpr int64_t GUEST_ADDICTION_RESERVE_LIMIT = 74;

bool has_type(const Variant &p_value, Variant::Type p_type) {
	return p_value.get_type() == p_type;
}

// A dictionary typed to a key type no name converts to cannot be asked for a name: the
// engine would report the lookup as an error.
bool accepts_name_keys(const Dictionary &p_dictionary) {
	if (!p_dictionary.is_typed_key()) {
		return true;
	}
	const int64_t key_type = p_dictionary.get_typed_key_builtin();
	return key_type == Variant::NIL || key_type == Variant::STRING || key_type == Variant::STRING_NAME;
}

bool all_values_are_integers(const Dictionary &p_dictionary) {
	const Array values = p_dictionary.values();
	const int64_t count = values.size();
	for (int64_t i = 0; i < count; i++) {
		if (!has_type(values[i], Variant::INT)) {
			return false;
		}
	}
	return true;
}

} // namespace

bool guest_frame_read(const GuestBatchNames &p_names, const StringName &p_resource_path, const LiveObject &p_owner, const StringName &p_guest_id, GuestFrame &r_frame) {
	// Each lookup and each read runs the game's script (a getter, say), which may free the
	// service, the guest or the definition (nodes, say): every use reaches its object again
	// through what knows whether it still exists, and one gone ends the batch (ObjectGone).
	r_frame.guest = LiveObject(p_owner.call_held(p_names.get_guest.name, Variant(p_guest_id)));
	// A service may answer an object it has already freed: that is no guest.
	p_owner.get();
	if (!builtin(p_resource_path, r_frame.guest.alive(), GUEST_RUNTIME_SCRIPT)) {
		return false;
	}

	const Variant type_id = r_frame.guest->get(p_names.guest_type_id.name);
	if (!has_type(type_id, Variant::STRING) && !has_type(type_id, Variant::STRING_NAME)) {
		return false;
	}
	r_frame.type_id = type_id;

	r_frame.definition = LiveObject(p_owner.call_held(p_names.get_definition.name, Variant(r_frame.type_id)));
	r_frame.guest.get();
	if (!builtin(p_resource_path, r_frame.definition.alive(), GUEST_DEFINITION_SCRIPT)) {
		return false;
	}
	const LiveObject &guest = r_frame.guest;
	const LiveObject &definition = r_frame.definition;

	struct TypeGate {
		const LiveObject &object;
		const GuestBatchKey &key;
		Variant::Type type;
	};
	const TypeGate scalar_gates[] = {
		{ guest, p_names.wallet_gold, Variant::INT },
		{ guest, p_names.credit_limit_gold, Variant::INT },
		{ guest, p_names.debt_gold, Variant::INT },
		{ guest, p_names.planned_exit_at, Variant::INT },
		{ definition, p_names.risk_tolerance, Variant::INT },
		{ definition, p_names.legal_sensitivity, Variant::INT },
		{ definition, p_names.minimum_quality, Variant::INT },
		{ definition, p_names.adult_verified, Variant::BOOL },
		{ p_owner, p_names.current_minute, Variant::INT },
	};
	for (const TypeGate &gate : scalar_gates) {
		if (!has_type(gate.object->get(gate.key.name), gate.type)) {
			return false;
		}
	}
	const Variant needs = guest->get(p_names.needs.name);
	if (!has_type(needs, Variant::DICTIONARY)) {
		return false;
	}
	const Variant addiction = guest->get(p_names.addiction_by_tag.name);
	if (!has_type(addiction, Variant::DICTIONARY)) {
		return false;
	}
	const Variant visited = guest->get(p_names.visited_facility_ids.name);
	if (!has_type(visited, Variant::ARRAY)) {
		return false;
	}
	const Variant tags = definition->get(p_names.tags.name);
	if (!has_type(tags, Variant::ARRAY)) {
		return false;
	}
	const Variant weights = definition->get(p_names.preference_weights.name);
	if (!has_type(weights, Variant::DICTIONARY)) {
		return false;
	}
	r_frame.needs = needs;
	r_frame.addiction = addiction;
	r_frame.preference_weights = weights;
	r_frame.visited = visited;
	r_frame.tags = tags;

	if (!guest_names_supported(visited) || !guest_names_supported(tags)) {
		return false;
	}
	r_frame.visited_names = guest_name_elements(r_frame.visited);
	r_frame.tag_names = guest_name_elements(r_frame.tags);

	if (!accepts_name_keys(r_frame.needs)) {
		return false;
	}
	const std::array<const GuestBatchKey *, GUEST_NEED_COUNT> need_keys = guest_need_keys(p_names);
	for (int i = 0; i < GUEST_NEED_COUNT; i++) {
		const StringName &need = need_keys[size_t(i)]->name;
		if (!r_frame.needs.has(need)) {
			return false;
		}
		const Variant level = r_frame.needs.get(need, Variant());
		if (!has_type(level, Variant::INT)) {
			return false;
		}
		r_frame.need_levels[i] = level;
	}

	if (!all_values_are_integers(r_frame.addiction)) {
		return false;
	}
	const Array addiction_values = r_frame.addiction.values();
	const int64_t addiction_count = addiction_values.size();
	for (int64_t i = 0; i < addiction_count; i++) {
		const int64_t level = addiction_values[i];
		if (level > r_frame.largest_addiction) {
			r_frame.largest_addiction = level;
		}
	}

	if (!all_values_are_integers(r_frame.preference_weights)) {
		return false;
	}
	r_frame.weights_by_name = accepts_name_keys(r_frame.preference_weights);
	return true;
}

int64_t guest_reserve(const GuestBatchNames &p_names, int64_t p_largest_addiction, const std::vector<StringName> &p_tag_names, int64_t p_wallet) {
	if (p_largest_addiction > GUEST_ADDICTION_RESERVE_LIMIT) {
		return 0;
	}
	if (guest_names_contain(p_tag_names, p_names.spendthrift.name)) {
		return p_wallet / 10;
	}
	if (guest_names_contain(p_tag_names, p_names.frugal.name)) {
		return p_wallet / 2;
	}
	// Three tenths, without forming wallet * 3: exact for every wallet.
	return saturate_to_int64(WideInt(p_wallet) * 3 / 10);
}

void guest_frame_read_budget(const GuestBatchNames &p_names, const LiveObject &p_owner, bool p_has_absolute_minute, int64_t p_absolute_minute, GuestFrame &r_frame) {
	r_frame.wallet = r_frame.guest->get(p_names.wallet_gold.name);
	const int64_t credit_limit = r_frame.guest->get(p_names.credit_limit_gold.name);
	const int64_t debt = r_frame.guest->get(p_names.debt_gold.name);
	r_frame.reserve = guest_reserve(p_names, r_frame.largest_addiction, r_frame.tag_names, r_frame.wallet);
	r_frame.risk_tolerance = r_frame.definition->get(p_names.risk_tolerance.name);
	if (p_has_absolute_minute) {
		r_frame.now = p_absolute_minute;
	} else {
		r_frame.now = p_owner->get(p_names.current_minute.name);
	}
	const WideInt credit = WideInt(credit_limit) - WideInt(debt);
	r_frame.credit_available = credit < 0 ? WideInt(0) : credit;
}

} // namespace veltrin
