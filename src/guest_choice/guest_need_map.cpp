#include "guest_choice/guest_need_map.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/string_name.hpp>

using namespace godot;

namespace veltrin {

std::array<const GuestBatchKey *, GUEST_NEED_COUNT> guest_need_keys(const GuestBatchNames &p_names) {
	return { &p_names.hunger, &p_names.sleep, &p_names.hygiene, &p_names.medical, &p_names.leisure, &p_names.intimacy };
}

bool guest_normalize_need(const GuestBatchNames &p_names, const Variant &p_value, Dictionary &r_out) {
	if (p_value.get_type() != Variant::DICTIONARY) {
		return false;
	}
	const Dictionary map = p_value;
	if (map.size() > GUEST_NEED_COUNT) {
		return false;
	}
	const std::array<const GuestBatchKey *, GUEST_NEED_COUNT> needs = guest_need_keys(p_names);
	const Array keys = map.keys();
	const Array values = map.values();
	const int64_t count = keys.size();
	for (int64_t i = 0; i < count; i++) {
		const Variant &key = keys[i];
		if (key.get_type() != Variant::STRING && key.get_type() != Variant::STRING_NAME) {
			return false;
		}
		const StringName name = key;
		const GuestBatchKey *need = nullptr;
		for (const GuestBatchKey *candidate : needs) {
			if (candidate->name == name) {
				need = candidate;
				break;
			}
		}
		if (need == nullptr || r_out.has(need->name)) {
			return false;
		}
		const Variant &level = values[i];
		if (level.get_type() != Variant::INT) {
			return false;
		}
		r_out[need->name] = level;
	}
	return true;
}

} // namespace veltrin
