#pragma once

#include <cstdint>
#include <engine_double/internal/packed_array_base.hpp>
#include <godot_cpp/variant/string.hpp>
#include <initializer_list>

namespace godot {

class Array;
class PackedByteArray;
class PackedFloat32Array;
class PackedFloat64Array;
class PackedInt32Array;
class PackedInt64Array;
class String;
class Variant;

class ENGINE_DOUBLE_API PackedByteArray : public engine_double::internal::PackedArrayBase<PackedByteArray, uint8_t, int64_t> {
	using Base = engine_double::internal::PackedArrayBase<PackedByteArray, uint8_t, int64_t>;

public:
	static const char *_class_name() { return "PackedByteArray"; }

	PackedByteArray() = default;
	PackedByteArray(std::initializer_list<uint8_t> p_init) :
	        Base(p_init) {}
	// Element-wise conversion, as Variant's conversion to this type does.
	PackedByteArray(const Array &p_from);

	PackedByteArray to_byte_array() const;

	String get_string_from_utf8() const;
	String get_string_from_ascii() const;
	String get_string_from_utf32() const;
	String hex_encode() const;

	// Little-endian reads and writes at a byte offset; out of range reports and gives 0.
	int64_t decode_u8(int64_t p_offset) const;
	int64_t decode_s8(int64_t p_offset) const;
	int64_t decode_u16(int64_t p_offset) const;
	int64_t decode_s16(int64_t p_offset) const;
	int64_t decode_u32(int64_t p_offset) const;
	int64_t decode_s32(int64_t p_offset) const;
	int64_t decode_u64(int64_t p_offset) const;
	int64_t decode_s64(int64_t p_offset) const;
	double decode_float(int64_t p_offset) const;
	double decode_double(int64_t p_offset) const;
	void encode_u8(int64_t p_offset, int64_t p_value);
	void encode_s8(int64_t p_offset, int64_t p_value);
	void encode_u16(int64_t p_offset, int64_t p_value);
	void encode_s16(int64_t p_offset, int64_t p_value);
	void encode_u32(int64_t p_offset, int64_t p_value);
	void encode_s32(int64_t p_offset, int64_t p_value);
	void encode_u64(int64_t p_offset, int64_t p_value);
	void encode_s64(int64_t p_offset, int64_t p_value);
	void encode_float(int64_t p_offset, double p_value);
	void encode_double(int64_t p_offset, double p_value);
	Variant decode_var(int64_t p_offset, bool p_allow_objects = false) const;

	PackedInt32Array to_int32_array() const;
	PackedInt64Array to_int64_array() const;
	PackedFloat32Array to_float32_array() const;
	PackedFloat64Array to_float64_array() const;
};

} // namespace godot
