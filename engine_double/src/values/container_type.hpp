#pragma once

// The element type of a typed Array or a typed Dictionary's keys or values, and the
// engine's validation of a value going in.

#include <godot_cpp/variant/variant.hpp>

namespace engine_double::internal {

struct ContainerType {
	godot::Variant::Type type = godot::Variant::NIL;
	godot::StringName class_name;
	godot::Variant script;
	const char *where = "container";

	bool operator==(const ContainerType &p_other) const;
	bool operator!=(const ContainerType &p_other) const { return !(*this == p_other); }

	// Checks r_value against the type, converting it in place where the engine converts
	// (can_convert_strict). On failure it reports the engine's message and returns false.
	bool validate(godot::Variant &r_value, const char *p_operation) const;
	bool validate_object(const godot::Variant &p_value, const char *p_operation) const;
};

// A value of the type's default (0, "", Vector3i() ...); nil for untyped and object types.
godot::Variant type_default(godot::Variant::Type p_type);

// The engine's Variant::construct(type, value) for one argument, for the types the double
// stores; false when that conversion does not exist.
bool construct_from(godot::Variant::Type p_type, const godot::Variant &p_value, godot::Variant &r_result);

} // namespace engine_double::internal
