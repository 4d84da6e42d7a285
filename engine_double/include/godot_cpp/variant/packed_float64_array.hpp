#pragma once

#include <engine_double/internal/packed_array_base.hpp>

#include <cstdint>
#include <initializer_list>

namespace godot {

class Array;
class PackedByteArray;
class Variant;

class ENGINE_DOUBLE_API PackedFloat64Array : public engine_double::internal::PackedArrayBase<PackedFloat64Array, double, double> {
	using Base = engine_double::internal::PackedArrayBase<PackedFloat64Array, double, double>;

public:
	static const char *_class_name() { return "PackedFloat64Array"; }

	PackedFloat64Array() = default;
	PackedFloat64Array(std::initializer_list<double> p_init) :
	        Base(p_init) {}
	// Element-wise conversion, as Variant's conversion to this type does.
	PackedFloat64Array(const Array &p_from);

	PackedByteArray to_byte_array() const;
};

} // namespace godot
