#pragma once

// What the engine is told about a bound method's parameter or return type: its Variant
// type, and for typed arrays, objects and enums the hint or class name that goes with it.

#include <engine_double/internal/typed_element.hpp>
#include <gdextension_interface.h>
#include <godot_cpp/core/property_info.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <type_traits>

namespace godot {

class Object;

template <typename T>
class Ref;

// No definition for unsupported types: binding a method that uses one does not compile.
template <typename T, typename = void>
struct GetTypeInfo;

#define GDE_DOUBLE_TYPE_INFO(m_type, m_variant_type, m_metadata)                       \
	template <>                                                                        \
	struct GetTypeInfo<m_type> {                                                       \
		static constexpr Variant::Type VARIANT_TYPE = m_variant_type;                  \
		static constexpr GDExtensionClassMethodArgumentMetadata METADATA = m_metadata; \
		static PropertyInfo get_class_info() {                                         \
			return PropertyInfo(VARIANT_TYPE, StringName());                           \
		}                                                                              \
	};

GDE_DOUBLE_TYPE_INFO(bool, Variant::BOOL, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(uint8_t, Variant::INT, GDEXTENSION_METHOD_ARGUMENT_METADATA_INT_IS_UINT8)
GDE_DOUBLE_TYPE_INFO(int8_t, Variant::INT, GDEXTENSION_METHOD_ARGUMENT_METADATA_INT_IS_INT8)
GDE_DOUBLE_TYPE_INFO(uint16_t, Variant::INT, GDEXTENSION_METHOD_ARGUMENT_METADATA_INT_IS_UINT16)
GDE_DOUBLE_TYPE_INFO(int16_t, Variant::INT, GDEXTENSION_METHOD_ARGUMENT_METADATA_INT_IS_INT16)
GDE_DOUBLE_TYPE_INFO(uint32_t, Variant::INT, GDEXTENSION_METHOD_ARGUMENT_METADATA_INT_IS_UINT32)
GDE_DOUBLE_TYPE_INFO(int32_t, Variant::INT, GDEXTENSION_METHOD_ARGUMENT_METADATA_INT_IS_INT32)
GDE_DOUBLE_TYPE_INFO(uint64_t, Variant::INT, GDEXTENSION_METHOD_ARGUMENT_METADATA_INT_IS_UINT64)
GDE_DOUBLE_TYPE_INFO(int64_t, Variant::INT, GDEXTENSION_METHOD_ARGUMENT_METADATA_INT_IS_INT64)
GDE_DOUBLE_TYPE_INFO(float, Variant::FLOAT, GDEXTENSION_METHOD_ARGUMENT_METADATA_REAL_IS_FLOAT)
GDE_DOUBLE_TYPE_INFO(double, Variant::FLOAT, GDEXTENSION_METHOD_ARGUMENT_METADATA_REAL_IS_DOUBLE)
GDE_DOUBLE_TYPE_INFO(String, Variant::STRING, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(StringName, Variant::STRING_NAME, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(NodePath, Variant::NODE_PATH, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(Vector2, Variant::VECTOR2, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(Vector2i, Variant::VECTOR2I, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(Vector3, Variant::VECTOR3, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(Vector3i, Variant::VECTOR3I, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(Callable, Variant::CALLABLE, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(Dictionary, Variant::DICTIONARY, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(Array, Variant::ARRAY, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(PackedByteArray, Variant::PACKED_BYTE_ARRAY, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(PackedInt32Array, Variant::PACKED_INT32_ARRAY, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(PackedInt64Array, Variant::PACKED_INT64_ARRAY, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(PackedFloat32Array, Variant::PACKED_FLOAT32_ARRAY, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(PackedFloat64Array, Variant::PACKED_FLOAT64_ARRAY, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(PackedStringArray, Variant::PACKED_STRING_ARRAY, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(PackedVector2Array, Variant::PACKED_VECTOR2_ARRAY, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)
GDE_DOUBLE_TYPE_INFO(PackedVector3Array, Variant::PACKED_VECTOR3_ARRAY, GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE)

#undef GDE_DOUBLE_TYPE_INFO

// A Variant parameter takes anything; the engine marks it "nil is variant".
template <>
struct GetTypeInfo<Variant> {
	static constexpr Variant::Type VARIANT_TYPE = Variant::NIL;
	static constexpr GDExtensionClassMethodArgumentMetadata METADATA = GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE;
	static PropertyInfo get_class_info() {
		return PropertyInfo(Variant::NIL, StringName(), PROPERTY_HINT_NONE, String(), PROPERTY_USAGE_DEFAULT | PROPERTY_USAGE_NIL_IS_VARIANT);
	}
};

template <typename T>
struct GetTypeInfo<T *, std::enable_if_t<std::is_base_of_v<Object, T>>> {
	static constexpr Variant::Type VARIANT_TYPE = Variant::OBJECT;
	static constexpr GDExtensionClassMethodArgumentMetadata METADATA = GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE;
	static PropertyInfo get_class_info() {
		return PropertyInfo(Variant::OBJECT, StringName(), PROPERTY_HINT_NONE, String(), PROPERTY_USAGE_DEFAULT, std::remove_const_t<T>::get_class_static());
	}
};

template <typename T>
struct GetTypeInfo<Ref<T>> {
	static constexpr Variant::Type VARIANT_TYPE = Variant::OBJECT;
	static constexpr GDExtensionClassMethodArgumentMetadata METADATA = GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE;
	static PropertyInfo get_class_info() {
		return PropertyInfo(Variant::OBJECT, StringName(), PROPERTY_HINT_RESOURCE_TYPE, String(T::get_class_static()));
	}
};

// An ARRAY whose hint names the element type ("Vector3i", "int", or a class name).
template <typename T>
struct GetTypeInfo<TypedArray<T>> {
	static constexpr Variant::Type VARIANT_TYPE = Variant::ARRAY;
	static constexpr GDExtensionClassMethodArgumentMetadata METADATA = GDEXTENSION_METHOD_ARGUMENT_METADATA_NONE;
	static PropertyInfo get_class_info() {
		using Element = engine_double::internal::TypedElement<T>;
		const String element_name = Element::TYPE == Variant::OBJECT ? String(Element::class_name()) : Variant::get_type_name(Element::TYPE);
		return PropertyInfo(Variant::ARRAY, StringName(), PROPERTY_HINT_ARRAY_TYPE, element_name);
	}
};

// Plain enums travel as INT; VARIANT_ENUM_CAST adds the enum's name.
template <typename T>
struct GetTypeInfo<T, std::enable_if_t<std::is_enum_v<T>>> {
	static constexpr Variant::Type VARIANT_TYPE = Variant::INT;
	static constexpr GDExtensionClassMethodArgumentMetadata METADATA = GDEXTENSION_METHOD_ARGUMENT_METADATA_INT_IS_INT64;
	static PropertyInfo get_class_info() {
		return PropertyInfo(Variant::INT, StringName());
	}
};

namespace internal {

// "Class::Enum" as the engine spells it: "Class.Enum".
ENGINE_DOUBLE_API StringName enum_qualified_name(const char *p_cpp_name);

} // namespace internal

} // namespace godot

#define VARIANT_ENUM_CAST(m_enum)                                                                                                                                                         \
	namespace godot {                                                                                                                                                                     \
	template <>                                                                                                                                                                           \
	struct GetTypeInfo<m_enum> {                                                                                                                                                          \
		static constexpr Variant::Type VARIANT_TYPE = Variant::INT;                                                                                                                       \
		static constexpr GDExtensionClassMethodArgumentMetadata METADATA = GDEXTENSION_METHOD_ARGUMENT_METADATA_INT_IS_INT64;                                                             \
		static PropertyInfo get_class_info() {                                                                                                                                            \
			return PropertyInfo(Variant::INT, StringName(), PROPERTY_HINT_NONE, String(), PROPERTY_USAGE_DEFAULT | PROPERTY_USAGE_CLASS_IS_ENUM, internal::enum_qualified_name(#m_enum)); \
		}                                                                                                                                                                                 \
	};                                                                                                                                                                                    \
	}

#define VARIANT_BITFIELD_CAST(m_enum) VARIANT_ENUM_CAST(m_enum)
