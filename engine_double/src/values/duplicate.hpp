#pragma once

// Deep duplication with the engine's recursion limit, shared by Array, Dictionary and
// Variant.

#include <godot_cpp/variant/variant.hpp>

namespace engine_double::internal {

const int MAX_RECURSION = 100;

godot::Variant duplicate_variant(const godot::Variant &p_value, bool p_deep, int p_recursion_count);
godot::Array duplicate_array(const godot::Array &p_array, bool p_deep, int p_recursion_count);
godot::Dictionary duplicate_dictionary(const godot::Dictionary &p_dictionary, bool p_deep, int p_recursion_count);

} // namespace engine_double::internal
