#pragma once

// The engine's binary serialization of Variants (var_to_bytes / bytes_to_var).

#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <vector>

namespace engine_double::internal {

// False when the value cannot be encoded (a recursion too deep); r_bytes is then unusable.
bool encode_variant(const godot::Variant &p_value, std::vector<uint8_t> &r_bytes, bool p_full_objects);
// False on truncated or malformed input. r_length receives the bytes consumed.
bool decode_variant(godot::Variant &r_value, const uint8_t *p_bytes, int64_t p_length, int64_t &r_length, bool p_allow_objects);

} // namespace engine_double::internal
