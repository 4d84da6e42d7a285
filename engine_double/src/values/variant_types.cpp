// Facts about Variant types: names, convertibility, truthiness.

#include "variant_access.hpp"
#include <engine_double/internal/crossing.hpp>

#include <engine_double/internal/object_seam.hpp>
#include <engine_double/internal/object_type_hooks.hpp>

#include <mutex>

namespace godot {

namespace {

const char *const TYPE_NAMES[Variant::VARIANT_MAX] = {
	"Nil",
	"bool",
	"int",
	"float",
	"String",
	"Vector2",
	"Vector2i",
	"Rect2",
	"Rect2i",
	"Vector3",
	"Vector3i",
	"Transform2D",
	"Vector4",
	"Vector4i",
	"Plane",
	"Quaternion",
	"AABB",
	"Basis",
	"Transform3D",
	"Projection",
	"Color",
	"StringName",
	"NodePath",
	"RID",
	"Object",
	"Callable",
	"Signal",
	"Dictionary",
	"Array",
	"PackedByteArray",
	"PackedInt32Array",
	"PackedInt64Array",
	"PackedFloat32Array",
	"PackedFloat64Array",
	"PackedStringArray",
	"PackedVector2Array",
	"PackedVector3Array",
	"PackedColorArray",
	"PackedVector4Array",
};

bool is_packed_type(Variant::Type p_type) {
	return p_type >= Variant::PACKED_BYTE_ARRAY && p_type <= Variant::PACKED_VECTOR4_ARRAY;
}

} // namespace

String Variant::get_type_name(Variant::Type p_type) {
	ENGINE_DOUBLE_CROSSINGS(2);
	if (p_type < NIL || p_type >= VARIANT_MAX) {
		return "";
	}
	return TYPE_NAMES[p_type];
}

Variant::Type Variant::get_type_by_name(const String &p_type_name) {
	ENGINE_DOUBLE_CROSSING;
	for (int i = 0; i < VARIANT_MAX; i++) {
		if (p_type_name == TYPE_NAMES[i]) {
			return Type(i);
		}
	}
	return VARIANT_MAX;
}

bool Variant::can_convert_strict(Variant::Type p_from, Variant::Type p_to) {
	ENGINE_DOUBLE_CROSSING;
	if (p_from == p_to || p_to == NIL) {
		return true;
	}
	if (p_from == NIL) {
		return p_to == OBJECT;
	}
	switch (p_to) {
		case BOOL:
			return p_from == INT || p_from == FLOAT;
		case INT:
			return p_from == BOOL || p_from == FLOAT;
		case FLOAT:
			return p_from == BOOL || p_from == INT;
		case STRING:
			return p_from == NODE_PATH || p_from == STRING_NAME;
		case VECTOR2:
			return p_from == VECTOR2I;
		case VECTOR2I:
			return p_from == VECTOR2;
		case RECT2:
			return p_from == RECT2I;
		case RECT2I:
			return p_from == RECT2;
		case TRANSFORM2D:
			return p_from == TRANSFORM3D;
		case VECTOR3:
			return p_from == VECTOR3I;
		case VECTOR3I:
			return p_from == VECTOR3;
		case VECTOR4:
			return p_from == VECTOR4I;
		case VECTOR4I:
			return p_from == VECTOR4;
		case QUATERNION:
			return p_from == BASIS;
		case BASIS:
			return p_from == QUATERNION;
		case TRANSFORM3D:
			return p_from == TRANSFORM2D || p_from == QUATERNION || p_from == BASIS || p_from == PROJECTION;
		case PROJECTION:
			return p_from == TRANSFORM3D;
		case COLOR:
			return p_from == STRING || p_from == INT;
		case RID:
			return p_from == OBJECT;
		case STRING_NAME:
		case NODE_PATH:
			return p_from == STRING;
		case ARRAY:
			return is_packed_type(p_from);
		default:
			return is_packed_type(p_to) && p_from == ARRAY;
	}
}

bool Variant::can_convert(Variant::Type p_from, Variant::Type p_to) {
	ENGINE_DOUBLE_CROSSING;
	if (can_convert_strict(p_from, p_to)) {
		return true;
	}
	if (p_from == NIL) {
		return false;
	}
	switch (p_to) {
		case BOOL:
		case INT:
		case FLOAT:
			return p_from == STRING || p_from == BOOL || p_from == INT || p_from == FLOAT;
		case STRING:
			return p_from != OBJECT;
		case VECTOR2:
		case VECTOR2I:
		case VECTOR3:
		case VECTOR3I:
			return p_from == VECTOR2 || p_from == VECTOR2I || p_from == VECTOR3 || p_from == VECTOR3I || p_from == VECTOR4 || p_from == VECTOR4I;
		case RID:
			return p_from == RID;
		default:
			return is_packed_type(p_to) && is_packed_type(p_from);
	}
}

bool Variant::booleanize() const {
	ENGINE_DOUBLE_CROSSING;
	switch (type) {
		case NIL:
			return false;
		case BOOL:
			return _mem[0] != 0;
		case INT:
			return *_slot<int64_t>() != 0;
		case FLOAT:
			// NaN is "not zero", so it is true.
			return !(*_slot<double>() == 0.0);
		case STRING:
			return !_slot<String>()->is_empty();
		case VECTOR2:
			return *_slot<Vector2>() != Vector2();
		case VECTOR2I:
			return *_slot<Vector2i>() != Vector2i();
		case VECTOR3:
			return *_slot<Vector3>() != Vector3();
		case VECTOR3I:
			return *_slot<Vector3i>() != Vector3i();
		case STRING_NAME:
			return !_slot<StringName>()->is_empty();
		case NODE_PATH:
			return !_slot<NodePath>()->is_empty();
		case OBJECT:
			return get_validated_object() != nullptr;
		case CALLABLE:
			return !_slot<Callable>()->is_null();
		case DICTIONARY:
			return !_slot<Dictionary>()->is_empty();
		case ARRAY:
			return !_slot<Array>()->is_empty();
		case PACKED_BYTE_ARRAY:
			return !VariantAccess::packed<PackedByteArray>(*this).is_empty();
		case PACKED_INT32_ARRAY:
			return !VariantAccess::packed<PackedInt32Array>(*this).is_empty();
		case PACKED_INT64_ARRAY:
			return !VariantAccess::packed<PackedInt64Array>(*this).is_empty();
		case PACKED_FLOAT32_ARRAY:
			return !VariantAccess::packed<PackedFloat32Array>(*this).is_empty();
		case PACKED_FLOAT64_ARRAY:
			return !VariantAccess::packed<PackedFloat64Array>(*this).is_empty();
		case PACKED_STRING_ARRAY:
			return !VariantAccess::packed<PackedStringArray>(*this).is_empty();
		case PACKED_VECTOR2_ARRAY:
			return !VariantAccess::packed<PackedVector2Array>(*this).is_empty();
		case PACKED_VECTOR3_ARRAY:
			return !VariantAccess::packed<PackedVector3Array>(*this).is_empty();
		default:
			return false;
	}
}

} // namespace godot

namespace engine_double::internal {

namespace {

std::mutex &hooks_mutex() {
	static std::mutex *mutex = new std::mutex;
	return *mutex;
}

ObjectTypeHooks &hooks_storage() {
	static ObjectTypeHooks *hooks = new ObjectTypeHooks;
	return *hooks;
}

} // namespace

void set_object_type_hooks(const ObjectTypeHooks &p_hooks) {
	std::lock_guard<std::mutex> lock(hooks_mutex());
	hooks_storage() = p_hooks;
}

ObjectTypeHooks object_type_hooks() {
	std::lock_guard<std::mutex> lock(hooks_mutex());
	return hooks_storage();
}

} // namespace engine_double::internal
