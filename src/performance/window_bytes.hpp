#pragma once

// What a window's own serialization (the engine's var_to_bytes) says about its elements.

#include <godot_cpp/variant/packed_byte_array.hpp>

#include <cstdint>

namespace veltrin {

// True when p_bytes is the serialization of an array (untyped or typed int) of exactly
// p_count elements that are all ints. False for anything else, including an encoding this
// reader does not know: the caller then tests the elements one by one.
bool bytes_hold_ints_only(const godot::PackedByteArray &p_bytes, int64_t p_count);

} // namespace veltrin
