#pragma once

#include <cstdint>
#include <engine_double/internal/packed_array_base.hpp>
#include <godot_cpp/variant/vector2.hpp>
#include <initializer_list>

namespace godot {

class Array;
class PackedByteArray;
class Variant;

class ENGINE_DOUBLE_API PackedVector2Array : public engine_double::internal::PackedArrayBase<PackedVector2Array, Vector2, Vector2> {
	using Base = engine_double::internal::PackedArrayBase<PackedVector2Array, Vector2, Vector2>;

public:
	static const char *_class_name() { return "PackedVector2Array"; }

	PackedVector2Array() = default;
	PackedVector2Array(std::initializer_list<Vector2> p_init) :
	        Base(p_init) {}
	// Element-wise conversion, as Variant's conversion to this type does.
	PackedVector2Array(const Array &p_from);

	PackedByteArray to_byte_array() const;
};

} // namespace godot
