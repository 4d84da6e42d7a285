#pragma once

// The container element type behind TypedArray<T> and TypedDictionary<K, V>: a builtin
// Variant type, or OBJECT plus the class name for Object subclasses.

#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <type_traits>

namespace engine_double::internal {

template <typename T, typename = void>
struct TypedElement {
	static constexpr godot::Variant::Type TYPE = godot::Variant::OBJECT;
	static godot::StringName class_name() { return T::get_class_static(); }
};

#define ENGINE_DOUBLE_TYPED_ELEMENT(m_type, m_variant_type)                   \
	template <>                                                               \
	struct TypedElement<m_type> {                                             \
		static constexpr godot::Variant::Type TYPE = m_variant_type;          \
		static godot::StringName class_name() { return godot::StringName(); } \
	};

ENGINE_DOUBLE_TYPED_ELEMENT(godot::Variant, godot::Variant::NIL)
ENGINE_DOUBLE_TYPED_ELEMENT(bool, godot::Variant::BOOL)
ENGINE_DOUBLE_TYPED_ELEMENT(uint8_t, godot::Variant::INT)
ENGINE_DOUBLE_TYPED_ELEMENT(int8_t, godot::Variant::INT)
ENGINE_DOUBLE_TYPED_ELEMENT(uint16_t, godot::Variant::INT)
ENGINE_DOUBLE_TYPED_ELEMENT(int16_t, godot::Variant::INT)
ENGINE_DOUBLE_TYPED_ELEMENT(uint32_t, godot::Variant::INT)
ENGINE_DOUBLE_TYPED_ELEMENT(int32_t, godot::Variant::INT)
ENGINE_DOUBLE_TYPED_ELEMENT(uint64_t, godot::Variant::INT)
ENGINE_DOUBLE_TYPED_ELEMENT(int64_t, godot::Variant::INT)
ENGINE_DOUBLE_TYPED_ELEMENT(float, godot::Variant::FLOAT)
ENGINE_DOUBLE_TYPED_ELEMENT(double, godot::Variant::FLOAT)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::String, godot::Variant::STRING)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::Vector2, godot::Variant::VECTOR2)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::Vector2i, godot::Variant::VECTOR2I)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::Vector3, godot::Variant::VECTOR3)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::Vector3i, godot::Variant::VECTOR3I)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::StringName, godot::Variant::STRING_NAME)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::NodePath, godot::Variant::NODE_PATH)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::Callable, godot::Variant::CALLABLE)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::Dictionary, godot::Variant::DICTIONARY)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::Array, godot::Variant::ARRAY)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::PackedByteArray, godot::Variant::PACKED_BYTE_ARRAY)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::PackedInt32Array, godot::Variant::PACKED_INT32_ARRAY)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::PackedInt64Array, godot::Variant::PACKED_INT64_ARRAY)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::PackedFloat32Array, godot::Variant::PACKED_FLOAT32_ARRAY)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::PackedFloat64Array, godot::Variant::PACKED_FLOAT64_ARRAY)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::PackedStringArray, godot::Variant::PACKED_STRING_ARRAY)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::PackedVector2Array, godot::Variant::PACKED_VECTOR2_ARRAY)
ENGINE_DOUBLE_TYPED_ELEMENT(godot::PackedVector3Array, godot::Variant::PACKED_VECTOR3_ARRAY)

#undef ENGINE_DOUBLE_TYPED_ELEMENT

template <typename T>
constexpr bool TYPED_ELEMENT_IS_BUILTIN = TypedElement<T>::TYPE != godot::Variant::OBJECT;

} // namespace engine_double::internal
