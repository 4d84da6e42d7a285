#pragma once

#include <engine_double/internal/packed_array_base.hpp>

#include <cstdint>
#include <initializer_list>

namespace godot {

class Array;
class PackedByteArray;
class Variant;

class ENGINE_DOUBLE_API PackedInt32Array : public engine_double::internal::PackedArrayBase<PackedInt32Array, int32_t, int64_t> {
	using Base = engine_double::internal::PackedArrayBase<PackedInt32Array, int32_t, int64_t>;

public:
	static const char *_class_name() { return "PackedInt32Array"; }

	PackedInt32Array() = default;
	PackedInt32Array(std::initializer_list<int32_t> p_init) :
	        Base(p_init) {}
	// Element-wise conversion, as Variant's conversion to this type does.
	PackedInt32Array(const Array &p_from);

	PackedByteArray to_byte_array() const;
};

} // namespace godot
