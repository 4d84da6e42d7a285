#include "container_type.hpp"

#include "variant_access.hpp"

#include <engine_double/internal/object_seam.hpp>
#include <engine_double/internal/object_type_hooks.hpp>
#include <godot_cpp/core/error_macros.hpp>

namespace engine_double::internal {

using godot::String;
using godot::StringName;
using godot::Variant;

bool ContainerType::operator==(const ContainerType &p_other) const {
	return type == p_other.type && class_name == p_other.class_name && script.identity_compare(p_other.script);
}

bool ContainerType::validate(Variant &r_value, const char *p_operation) const {
	if (type == Variant::NIL) {
		return true;
	}
	const Variant::Type from = r_value.get_type();
	if (from != type) {
		if (from == Variant::NIL && type == Variant::OBJECT) {
			return true;
		}
		Variant converted;
		if (Variant::can_convert_strict(from, type) && construct_from(type, r_value, converted)) {
			r_value = converted;
			return true;
		}
		ERR_FAIL_V_MSG(false, "Attempted to " + String(p_operation) + " a variable of type '" + Variant::get_type_name(from) + "' into a " + where + " of incompatible type '" + Variant::get_type_name(type) + "'.");
	}
	if (type != Variant::OBJECT) {
		return true;
	}
	return validate_object(r_value, p_operation);
}

bool ContainerType::validate_object(const Variant &p_value, const char *p_operation) const {
	if (p_value.get_type() != Variant::OBJECT || p_value._object_id() == 0) {
		return true;
	}
	godot::Object *object = p_value.get_validated_object();
	ERR_FAIL_COND_V_MSG(object == nullptr, false, "Attempted to " + String(p_operation) + " an invalid (previously freed?) object instance into a '" + String(where) + "'.");
	if (class_name.is_empty()) {
		return true;
	}
	const ObjectTypeHooks hooks = object_type_hooks();
	if (!hooks.class_name || !hooks.is_parent_class) {
		return true;
	}
	const StringName object_class = hooks.class_name(object);
	ERR_FAIL_COND_V_MSG(!hooks.is_parent_class(object_class, class_name), false, "Attempted to " + String(p_operation) + " an object of type '" + String(object_class) + "' into a " + where + " of incompatible type '" + String(class_name) + "'.");
	return true;
}

Variant type_default(Variant::Type p_type) {
	switch (p_type) {
		case Variant::BOOL:
			return false;
		case Variant::INT:
			return int64_t(0);
		case Variant::FLOAT:
			return 0.0;
		case Variant::STRING:
			return String();
		case Variant::VECTOR2:
			return godot::Vector2();
		case Variant::VECTOR2I:
			return godot::Vector2i();
		case Variant::VECTOR3:
			return godot::Vector3();
		case Variant::VECTOR3I:
			return godot::Vector3i();
		case Variant::STRING_NAME:
			return StringName();
		case Variant::NODE_PATH:
			return godot::NodePath();
		case Variant::CALLABLE:
			return godot::Callable();
		case Variant::DICTIONARY:
			return godot::Dictionary();
		case Variant::ARRAY:
			return godot::Array();
		case Variant::PACKED_BYTE_ARRAY:
			return godot::PackedByteArray();
		case Variant::PACKED_INT32_ARRAY:
			return godot::PackedInt32Array();
		case Variant::PACKED_INT64_ARRAY:
			return godot::PackedInt64Array();
		case Variant::PACKED_FLOAT32_ARRAY:
			return godot::PackedFloat32Array();
		case Variant::PACKED_FLOAT64_ARRAY:
			return godot::PackedFloat64Array();
		case Variant::PACKED_STRING_ARRAY:
			return godot::PackedStringArray();
		case Variant::PACKED_VECTOR2_ARRAY:
			return godot::PackedVector2Array();
		case Variant::PACKED_VECTOR3_ARRAY:
			return godot::PackedVector3Array();
		default:
			return Variant();
	}
}

} // namespace engine_double::internal
