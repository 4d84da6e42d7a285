#pragma once

#include <cstdint>
#include <engine_double/internal/packed_array_base.hpp>
#include <godot_cpp/variant/vector3.hpp>
#include <initializer_list>

namespace godot {

class Array;
class PackedByteArray;
class Variant;

class ENGINE_DOUBLE_API PackedVector3Array : public engine_double::internal::PackedArrayBase<PackedVector3Array, Vector3, Vector3> {
	using Base = engine_double::internal::PackedArrayBase<PackedVector3Array, Vector3, Vector3>;

public:
	static const char *_class_name() { return "PackedVector3Array"; }

	PackedVector3Array() = default;
	PackedVector3Array(std::initializer_list<Vector3> p_init) :
	        Base(p_init) {}
	// Element-wise conversion, as Variant's conversion to this type does.
	PackedVector3Array(const Array &p_from);

	PackedByteArray to_byte_array() const;
};

} // namespace godot
