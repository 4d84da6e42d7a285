#pragma once

#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>

namespace godot {

// A property, argument or return value as the engine lists it.
struct PropertyInfo {
	Variant::Type type = Variant::NIL;
	StringName name;
	StringName class_name;
	uint32_t hint = PROPERTY_HINT_NONE;
	String hint_string;
	uint32_t usage = PROPERTY_USAGE_DEFAULT;

	PropertyInfo() = default;

	PropertyInfo(Variant::Type p_type, const StringName &p_name, PropertyHint p_hint = PROPERTY_HINT_NONE, const String &p_hint_string = "", uint32_t p_usage = PROPERTY_USAGE_DEFAULT, const StringName &p_class_name = "") :
	        type(p_type),
	        name(p_name),
	        hint(p_hint),
	        hint_string(p_hint_string),
	        usage(p_usage) {
		// A resource hint names the class, as the engine reads it.
		if (hint == PROPERTY_HINT_RESOURCE_TYPE) {
			class_name = StringName(hint_string);
		} else {
			class_name = p_class_name;
		}
	}

	PropertyInfo(GDExtensionVariantType p_type, const StringName &p_name, PropertyHint p_hint = PROPERTY_HINT_NONE, const String &p_hint_string = "", uint32_t p_usage = PROPERTY_USAGE_DEFAULT, const StringName &p_class_name = "") :
	        PropertyInfo(Variant::Type(p_type), p_name, p_hint, p_hint_string, p_usage, p_class_name) {}
};

} // namespace godot
