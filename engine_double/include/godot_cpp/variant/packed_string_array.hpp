#pragma once

#include <cstdint>
#include <engine_double/internal/packed_array_base.hpp>
#include <godot_cpp/variant/string.hpp>
#include <initializer_list>

namespace godot {

class Array;
class PackedByteArray;
class Variant;

class ENGINE_DOUBLE_API PackedStringArray : public engine_double::internal::PackedArrayBase<PackedStringArray, String, String> {
	using Base = engine_double::internal::PackedArrayBase<PackedStringArray, String, String>;

public:
	static const char *_class_name() { return "PackedStringArray"; }

	PackedStringArray() = default;
	PackedStringArray(std::initializer_list<String> p_init) :
	        Base(p_init) {}
	// Element-wise conversion, as Variant's conversion to this type does.
	PackedStringArray(const Array &p_from);

	PackedByteArray to_byte_array() const;
};

} // namespace godot
