#pragma once

#include <engine_double/internal/packed_array_base.hpp>

#include <cstdint>
#include <initializer_list>

namespace godot {

class Array;
class PackedByteArray;
class Variant;

class ENGINE_DOUBLE_API PackedFloat32Array : public engine_double::internal::PackedArrayBase<PackedFloat32Array, float, double> {
	using Base = engine_double::internal::PackedArrayBase<PackedFloat32Array, float, double>;

public:
	static const char *_class_name() { return "PackedFloat32Array"; }

	PackedFloat32Array() = default;
	PackedFloat32Array(std::initializer_list<float> p_init) :
	        Base(p_init) {}
	// Element-wise conversion, as Variant's conversion to this type does.
	PackedFloat32Array(const Array &p_from);

	PackedByteArray to_byte_array() const;
};

} // namespace godot
