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

} // namespace veltrin
