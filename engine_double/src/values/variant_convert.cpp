// Conversions out of a Variant: the engine's rules, never an error, a default when the
// held type does not convert.

#include "container_type.hpp"
#include "variant_access.hpp"
#include <engine_double/internal/crossing.hpp>

#include <engine_double/internal/object_seam.hpp>
#include <godot_cpp/core/error_macros.hpp>

namespace godot {

namespace {

int64_t truncate_to_int(double p_value) {
	// x86-64 gives INT64_MIN for NaN and out-of-range values; the double does the same
	// without undefined behaviour.
	if (!(p_value >= -9223372036854775808.0 && p_value < 9223372036854775808.0)) {
		return INT64_MIN;
	}
	return int64_t(p_value);
}

template <typename P, typename Element>
P packed_from_array(const Array &p_array) {
	P result;
	const int64_t n = p_array.size();
	if (n == 0) {
		return result;
	}
	result.resize(n);
	auto *write = result.ptrw();
	for (int64_t i = 0; i < n; i++) {
		write[i] = Element(p_array[i]);
	}
	return result;
}

template <typename P>
Array array_from_packed(const P &p_packed) {
	Array result;
	const int64_t n = p_packed.size();
	if (n == 0) {
		return result;
	}
	result.resize(n);
	const auto *read = p_packed.ptr();
	for (int64_t i = 0; i < n; i++) {
		result[i] = Variant(read[i]);
	}
	return result;
}

// Any packed array or Array, as an Array; other types give an empty Array.
Array as_array(const Variant &p_value) {
	switch (p_value.get_type()) {
		case Variant::ARRAY:
			return VariantAccess::payload<Array>(p_value);
		case Variant::PACKED_BYTE_ARRAY:
			return array_from_packed(VariantAccess::packed<PackedByteArray>(p_value));
		case Variant::PACKED_INT32_ARRAY:
			return array_from_packed(VariantAccess::packed<PackedInt32Array>(p_value));
		case Variant::PACKED_INT64_ARRAY:
			return array_from_packed(VariantAccess::packed<PackedInt64Array>(p_value));
		case Variant::PACKED_FLOAT32_ARRAY:
			return array_from_packed(VariantAccess::packed<PackedFloat32Array>(p_value));
		case Variant::PACKED_FLOAT64_ARRAY:
			return array_from_packed(VariantAccess::packed<PackedFloat64Array>(p_value));
		case Variant::PACKED_STRING_ARRAY:
			return array_from_packed(VariantAccess::packed<PackedStringArray>(p_value));
		case Variant::PACKED_VECTOR2_ARRAY:
			return array_from_packed(VariantAccess::packed<PackedVector2Array>(p_value));
		case Variant::PACKED_VECTOR3_ARRAY:
			return array_from_packed(VariantAccess::packed<PackedVector3Array>(p_value));
		default:
			return Array();
	}
}

template <typename P, typename Element>
P to_packed(const Variant &p_value, Variant::Type p_type) {
	if (p_value.get_type() == p_type) {
		return VariantAccess::packed<P>(p_value);
	}
	const Variant::Type held = p_value.get_type();
	if (held == Variant::ARRAY || (held >= Variant::PACKED_BYTE_ARRAY && held <= Variant::PACKED_VECTOR4_ARRAY)) {
		return packed_from_array<P, Element>(as_array(p_value));
	}
	return P();
}

} // namespace

int64_t Variant::_to_int_slow() const {
	switch (type) {
		case BOOL:
			return _mem[0] ? 1 : 0;
		case INT:
			return *_slot<int64_t>();
		case FLOAT:
			return truncate_to_int(*_slot<double>());
		case STRING:
			return _slot<String>()->to_int();
		default:
			return 0;
	}
}

double Variant::_to_float_slow() const {
	switch (type) {
		case BOOL:
			return _mem[0] ? 1.0 : 0.0;
		case INT:
			return double(*_slot<int64_t>());
		case FLOAT:
			return *_slot<double>();
		case STRING:
			return _slot<String>()->to_float();
		default:
			return 0.0;
	}
}

Variant::operator String() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_HANDLE);
	if (type == STRING) {
		return *_slot<String>();
	}
	return stringify();
}

Variant::operator StringName() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_STRING_NAME);
	if (type == STRING_NAME) {
		return *_slot<StringName>();
	}
	if (type == STRING) {
		return StringName(*_slot<String>());
	}
	return StringName();
}

Variant::operator NodePath() const {
	ENGINE_DOUBLE_CROSSING;
	if (type == NODE_PATH) {
		return *_slot<NodePath>();
	}
	if (type == STRING) {
		return NodePath(*_slot<String>());
	}
	return NodePath();
}

Variant::operator Vector2() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_PLAIN);
	switch (type) {
		case VECTOR2:
			return *_slot<Vector2>();
		case VECTOR2I:
			return Vector2(*_slot<Vector2i>());
		case VECTOR3:
			return Vector2(_slot<Vector3>()->x, _slot<Vector3>()->y);
		case VECTOR3I:
			return Vector2(real_t(_slot<Vector3i>()->x), real_t(_slot<Vector3i>()->y));
		default:
			return Vector2();
	}
}

Variant::operator Vector2i() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_PLAIN);
	switch (type) {
		case VECTOR2:
			return Vector2i(*_slot<Vector2>());
		case VECTOR2I:
			return *_slot<Vector2i>();
		case VECTOR3:
			return Vector2i(Vector2(_slot<Vector3>()->x, _slot<Vector3>()->y));
		case VECTOR3I:
			return Vector2i(_slot<Vector3i>()->x, _slot<Vector3i>()->y);
		default:
			return Vector2i();
	}
}

Variant::operator Vector3() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_PLAIN);
	switch (type) {
		case VECTOR2:
			return Vector3(_slot<Vector2>()->x, _slot<Vector2>()->y, 0);
		case VECTOR2I:
			return Vector3(real_t(_slot<Vector2i>()->x), real_t(_slot<Vector2i>()->y), 0);
		case VECTOR3:
			return *_slot<Vector3>();
		case VECTOR3I:
			return Vector3(*_slot<Vector3i>());
		default:
			return Vector3();
	}
}

Variant::operator Vector3i() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_PLAIN);
	switch (type) {
		case VECTOR2: {
			const Vector2i v = Vector2i(*_slot<Vector2>());
			return Vector3i(v.x, v.y, 0);
		}
		case VECTOR2I:
			return Vector3i(_slot<Vector2i>()->x, _slot<Vector2i>()->y, 0);
		case VECTOR3:
			return Vector3i(*_slot<Vector3>());
		case VECTOR3I:
			return *_slot<Vector3i>();
		default:
			return Vector3i();
	}
}

Variant::operator Object *() const {
	// The object id or pointer, then its instance binding.
	ENGINE_DOUBLE_CROSSINGS(2);
	if (type != OBJECT) {
		return nullptr;
	}
	const ObjectSlot *slot = _slot<ObjectSlot>();
	if (!slot->pointer) {
		return nullptr;
	}
	Object *live = engine_double::internal::object_from_instance_id(slot->id);
	if (!live) {
		ERR_PRINT("Variant::operator Object* on a freed object (the engine would return a dangling pointer)");
	}
	return live;
}

Object *Variant::get_validated_object() const {
	// The object id or pointer, then its instance binding.
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, OBJECT_DB_GET);
	if (type != OBJECT) {
		return nullptr;
	}
	const ObjectSlot *slot = _slot<ObjectSlot>();
	if (!slot->pointer) {
		return nullptr;
	}
	return engine_double::internal::object_from_instance_id(slot->id);
}

Variant::operator Callable() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_HANDLE);
	if (type == CALLABLE) {
		return *_slot<Callable>();
	}
	return Callable();
}

Variant::operator Dictionary() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_HANDLE);
	if (type == DICTIONARY) {
		return *_slot<Dictionary>();
	}
	return Dictionary();
}

Variant::operator Array() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_HANDLE);
	return as_array(*this);
}

Variant::operator PackedByteArray() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_HANDLE);
	return to_packed<PackedByteArray, uint8_t>(*this, PACKED_BYTE_ARRAY);
}

Variant::operator PackedInt32Array() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_HANDLE);
	return to_packed<PackedInt32Array, int32_t>(*this, PACKED_INT32_ARRAY);
}

Variant::operator PackedInt64Array() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_HANDLE);
	return to_packed<PackedInt64Array, int64_t>(*this, PACKED_INT64_ARRAY);
}

Variant::operator PackedFloat32Array() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_HANDLE);
	return to_packed<PackedFloat32Array, float>(*this, PACKED_FLOAT32_ARRAY);
}

Variant::operator PackedFloat64Array() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_HANDLE);
	return to_packed<PackedFloat64Array, double>(*this, PACKED_FLOAT64_ARRAY);
}

Variant::operator PackedStringArray() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_HANDLE);
	return to_packed<PackedStringArray, String>(*this, PACKED_STRING_ARRAY);
}

Variant::operator PackedVector2Array() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_HANDLE);
	return to_packed<PackedVector2Array, Vector2>(*this, PACKED_VECTOR2_ARRAY);
}

Variant::operator PackedVector3Array() const {
	ENGINE_DOUBLE_COSTED(VARIANT_TO_HANDLE);
	return to_packed<PackedVector3Array, Vector3>(*this, PACKED_VECTOR3_ARRAY);
}

PackedByteArray::PackedByteArray(const Array &p_from) :
        PackedByteArray(packed_from_array<PackedByteArray, uint8_t>(p_from)) {}

PackedInt32Array::PackedInt32Array(const Array &p_from) :
        PackedInt32Array(packed_from_array<PackedInt32Array, int32_t>(p_from)) {}

PackedInt64Array::PackedInt64Array(const Array &p_from) :
        PackedInt64Array(packed_from_array<PackedInt64Array, int64_t>(p_from)) {}

PackedFloat32Array::PackedFloat32Array(const Array &p_from) :
        PackedFloat32Array(packed_from_array<PackedFloat32Array, float>(p_from)) {}

PackedFloat64Array::PackedFloat64Array(const Array &p_from) :
        PackedFloat64Array(packed_from_array<PackedFloat64Array, double>(p_from)) {}

PackedStringArray::PackedStringArray(const Array &p_from) :
        PackedStringArray(packed_from_array<PackedStringArray, String>(p_from)) {}

PackedVector2Array::PackedVector2Array(const Array &p_from) :
        PackedVector2Array(packed_from_array<PackedVector2Array, Vector2>(p_from)) {}

PackedVector3Array::PackedVector3Array(const Array &p_from) :
        PackedVector3Array(packed_from_array<PackedVector3Array, Vector3>(p_from)) {}

Array::Array(const PackedByteArray &p_from) :
        Array(array_from_packed(p_from)) {}

Array::Array(const PackedInt32Array &p_from) :
        Array(array_from_packed(p_from)) {}

Array::Array(const PackedInt64Array &p_from) :
        Array(array_from_packed(p_from)) {}

Array::Array(const PackedFloat32Array &p_from) :
        Array(array_from_packed(p_from)) {}

Array::Array(const PackedFloat64Array &p_from) :
        Array(array_from_packed(p_from)) {}

Array::Array(const PackedStringArray &p_from) :
        Array(array_from_packed(p_from)) {}

Array::Array(const PackedVector2Array &p_from) :
        Array(array_from_packed(p_from)) {}

Array::Array(const PackedVector3Array &p_from) :
        Array(array_from_packed(p_from)) {}

} // namespace godot

namespace engine_double::internal {

using godot::Variant;

bool construct_from(Variant::Type p_type, const Variant &p_value, Variant &r_result) {
	const Variant::Type from = p_value.get_type();
	if (from == p_type) {
		r_result = p_value;
		return true;
	}
	switch (p_type) {
		case Variant::NIL:
			r_result = Variant();
			return true;
		case Variant::BOOL:
			if (from == Variant::INT || from == Variant::FLOAT) {
				r_result = p_value.booleanize();
				return true;
			}
			return false;
		case Variant::INT:
			if (from == Variant::BOOL || from == Variant::FLOAT || from == Variant::STRING) {
				r_result = int64_t(p_value);
				return true;
			}
			return false;
		case Variant::FLOAT:
			if (from == Variant::BOOL || from == Variant::INT || from == Variant::STRING) {
				r_result = double(p_value);
				return true;
			}
			return false;
		case Variant::STRING:
			r_result = p_value.operator godot::String();
			return true;
		case Variant::STRING_NAME:
			if (from == Variant::STRING) {
				r_result = godot::StringName(p_value.operator godot::String());
				return true;
			}
			return false;
		case Variant::NODE_PATH:
			if (from == Variant::STRING) {
				r_result = godot::NodePath(p_value.operator godot::String());
				return true;
			}
			return false;
		case Variant::VECTOR2:
			if (from == Variant::VECTOR2I) {
				r_result = p_value.operator godot::Vector2();
				return true;
			}
			return false;
		case Variant::VECTOR2I:
			if (from == Variant::VECTOR2) {
				r_result = p_value.operator godot::Vector2i();
				return true;
			}
			return false;
		case Variant::VECTOR3:
			if (from == Variant::VECTOR3I) {
				r_result = p_value.operator godot::Vector3();
				return true;
			}
			return false;
		case Variant::VECTOR3I:
			if (from == Variant::VECTOR3) {
				r_result = p_value.operator godot::Vector3i();
				return true;
			}
			return false;
		case Variant::OBJECT:
			if (from == Variant::NIL) {
				r_result = Variant(static_cast<const godot::Object *>(nullptr));
				return true;
			}
			return false;
		case Variant::ARRAY:
			if (from >= Variant::PACKED_BYTE_ARRAY && from <= Variant::PACKED_VECTOR4_ARRAY) {
				r_result = p_value.operator godot::Array();
				return true;
			}
			return false;
		case Variant::PACKED_BYTE_ARRAY:
		case Variant::PACKED_INT32_ARRAY:
		case Variant::PACKED_INT64_ARRAY:
		case Variant::PACKED_FLOAT32_ARRAY:
		case Variant::PACKED_FLOAT64_ARRAY:
		case Variant::PACKED_STRING_ARRAY:
		case Variant::PACKED_VECTOR2_ARRAY:
		case Variant::PACKED_VECTOR3_ARRAY:
			if (from != Variant::ARRAY) {
				return false;
			}
			switch (p_type) {
				case Variant::PACKED_BYTE_ARRAY:
					r_result = p_value.operator godot::PackedByteArray();
					break;
				case Variant::PACKED_INT32_ARRAY:
					r_result = p_value.operator godot::PackedInt32Array();
					break;
				case Variant::PACKED_INT64_ARRAY:
					r_result = p_value.operator godot::PackedInt64Array();
					break;
				case Variant::PACKED_FLOAT32_ARRAY:
					r_result = p_value.operator godot::PackedFloat32Array();
					break;
				case Variant::PACKED_FLOAT64_ARRAY:
					r_result = p_value.operator godot::PackedFloat64Array();
					break;
				case Variant::PACKED_STRING_ARRAY:
					r_result = p_value.operator godot::PackedStringArray();
					break;
				case Variant::PACKED_VECTOR2_ARRAY:
					r_result = p_value.operator godot::PackedVector2Array();
					break;
				default:
					r_result = p_value.operator godot::PackedVector3Array();
					break;
			}
			return true;
		default:
			return false;
	}
}

} // namespace engine_double::internal
