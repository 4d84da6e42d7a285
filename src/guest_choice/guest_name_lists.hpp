#pragma once

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <vector>

namespace veltrin {

// Whether p_value can serve as a name list: anything but an Array is read as an empty
// list; an Array must hold nothing but String or StringName elements.
bool guest_names_supported(const godot::Variant &p_value);

// The distinct non-empty names of p_value as StringName values, ascending by code point;
// an empty Array when p_value is not an Array.
godot::Array guest_names(const godot::Variant &p_value);

// guest_names as a plain list, for the rules and the utility: an absent or empty list
// costs no engine container.
std::vector<godot::StringName> guest_name_list(const godot::Variant &p_value);

// The elements of a name list already checked by guest_names_supported, as names, in
// their order. Membership among them is the engine's Array membership, under which a
// String and a StringName of one text are equal.
std::vector<godot::StringName> guest_name_elements(const godot::Array &p_names);

bool guest_names_contain(const std::vector<godot::StringName> &p_names, const godot::StringName &p_name);

} // namespace veltrin
