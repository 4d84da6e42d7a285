#pragma once

#include "guest_choice/guest_batch_names.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>

namespace veltrin {

// The integer under p_first, else under p_second, else p_default. For the numeric keys of a
// candidate only: the candidate check lets such a key hold nothing but an int, so a nil
// answer means the key is absent and one lookup per key decides.
inline int64_t guest_first_integer(const godot::Dictionary &p_row, const GuestBatchKey &p_first, const GuestBatchKey &p_second, int64_t p_default) {
	godot::Variant found = p_row.get(p_first.name, godot::Variant());
	if (found.get_type() == godot::Variant::NIL) {
		found = p_row.get(p_second.name, godot::Variant());
		if (found.get_type() == godot::Variant::NIL) {
			return p_default;
		}
	}
	return found;
}

// Whether the numeric key p_key is present, with its integer in r_value (same reasoning).
inline bool guest_optional_integer(const godot::Dictionary &p_row, const GuestBatchKey &p_key, int64_t &r_value) {
	const godot::Variant found = p_row.get(p_key.name, godot::Variant());
	if (found.get_type() == godot::Variant::NIL) {
		return false;
	}
	r_value = found;
	return true;
}

} // namespace veltrin
