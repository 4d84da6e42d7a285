#pragma once

#include "guest_choice/guest_batch_names.hpp"
#include "guest_choice/guest_candidate_supported.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>

namespace veltrin {

// The integer under p_first, else under p_second, else p_default. For the numeric keys of a
// candidate only: the candidate check lets such a key hold nothing but an int, so a present
// key decides.
inline int64_t guest_first_integer(const GuestBatchNames &, const GuestRowFacts &p_row, const GuestBatchKey &p_first, const GuestBatchKey &p_second, int64_t p_default) {
	const godot::Variant *found = p_row.find(p_first);
	if (found == nullptr) {
		found = p_row.find(p_second);
		if (found == nullptr) {
			return p_default;
		}
	}
	return *found;
}

// Whether the numeric key p_key is present, with its integer in r_value (same reasoning).
inline bool guest_optional_integer(const GuestBatchNames &, const GuestRowFacts &p_row, const GuestBatchKey &p_key, int64_t &r_value) {
	const godot::Variant *found = p_row.find(p_key);
	if (found == nullptr) {
		return false;
	}
	r_value = *found;
	return true;
}

} // namespace veltrin
