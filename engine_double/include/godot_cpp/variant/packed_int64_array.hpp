#pragma once

#include <engine_double/internal/packed_array_base.hpp>

#include <cstdint>
#include <initializer_list>

namespace godot {

class Array;
class PackedByteArray;
class Variant;

class ENGINE_DOUBLE_API PackedInt64Array : public engine_double::internal::PackedArrayBase<PackedInt64Array, int64_t, int64_t> {
	using Base = engine_double::internal::PackedArrayBase<PackedInt64Array, int64_t, int64_t>;

public:
	static const char *_class_name() { return "PackedInt64Array"; }

	PackedInt64Array() = default;
	PackedInt64Array(std::initializer_list<int64_t> p_init) :
	        Base(p_init) {}
	// Element-wise conversion, as Variant's conversion to this type does.
	PackedInt64Array(const Array &p_from);

	PackedByteArray to_byte_array() const;
};

} // namespace godot
