#pragma once

#include "guest_choice/guest_batch_names.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <array>

namespace veltrin {

constexpr int GUEST_NEED_COUNT = 6;

// The six need names in the order in which needs are checked and scored.
std::array<const GuestBatchKey *, GUEST_NEED_COUNT> guest_need_keys(const GuestBatchNames &p_names);

// Whether p_value is a valid need map: a Dictionary of at most six entries, each keyed
// by a distinct need name (String or StringName) and holding an int. On success r_out
// (empty on entry) holds the entries keyed by the need's StringName; on failure the
// caller discards it.
bool guest_normalize_need(const GuestBatchNames &p_names, const godot::Variant &p_value, godot::Dictionary &r_out);
// The same check, with each need's level (0 when absent) in r_levels, in the order of
// guest_need_keys.
bool guest_need_levels(const GuestBatchNames &p_names, const godot::Variant &p_value, int64_t (&r_levels)[GUEST_NEED_COUNT]);

} // namespace veltrin
