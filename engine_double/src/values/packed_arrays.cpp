// The out-of-line parts of the packed arrays: engine-style reports and byte conversions.

#include <engine_double/internal/crossing.hpp>
#include <engine_double/internal/packed_array_base.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstring>

namespace engine_double::internal {

void packed_report_index(const char *p_function, int64_t p_index, int64_t p_size) {
	godot::_err_print_index_error(p_function, __FILE__, __LINE__, p_index, p_size, "p_index", "size()");
}

void packed_report_crash_index(const char *p_class, int64_t p_index, int64_t p_size) {
	godot::_err_print_error("operator[]", __FILE__, __LINE__, (std::string(p_class) + "::operator[] index out of range (the engine would crash)").c_str());
}

void packed_report_negative_resize() {
	godot::_err_print_error("resize", __FILE__, __LINE__, "Condition \"p_size < 0\" is true. Returning: ERR_INVALID_PARAMETER");
}

void packed_report_huge_resize() {
	godot::_err_print_error("resize", __FILE__, __LINE__, "Condition \"!_get_alloc_size_checked(p_size, &alloc_size)\" is true. Returning: ERR_OUT_OF_MEMORY");
}

void packed_report_insert_index(int64_t p_index, int64_t p_size) {
	godot::_err_print_index_error("insert", __FILE__, __LINE__, p_index, p_size + 1, "p_pos", "new_size");
}

void packed_report_remove_index(int64_t p_index, int64_t p_size) {
	godot::_err_print_index_error("remove_at", __FILE__, __LINE__, p_index, p_size, "p_index", "size()");
}

} // namespace engine_double::internal

namespace godot {

namespace {

template <typename P>
PackedByteArray bytes_of(const P &p_array) {
	PackedByteArray bytes;
	const int64_t count = p_array.size() * int64_t(sizeof(typename P::value_type));
	if (count > 0) {
		bytes.resize(count);
		std::memcpy(bytes.ptrw(), p_array.ptr(), size_t(count));
	}
	return bytes;
}

template <typename P>
P from_bytes(const PackedByteArray &p_bytes) {
	P result;
	using T = typename P::value_type;
	const int64_t count = p_bytes.size() / int64_t(sizeof(T));
	if (count > 0) {
		result.resize(count);
		std::memcpy(static_cast<void *>(result.ptrw()), p_bytes.ptr(), size_t(count) * sizeof(T));
	}
	return result;
}

template <typename T>
T read_at(const PackedByteArray &p_bytes, int64_t p_offset) {
	T value {};
	if (p_offset < 0 || p_offset > p_bytes.size() - int64_t(sizeof(T))) {
		_err_print_error("decode", __FILE__, __LINE__, "Condition \"p_offset < 0 || p_offset > int64_t(size) - int64_t(sizeof(T))\" is true. Returning: 0");
		return value;
	}
	std::memcpy(&value, p_bytes.ptr() + p_offset, sizeof(T));
	return value;
}

template <typename T>
void write_at(PackedByteArray &r_bytes, int64_t p_offset, T p_value) {
	if (p_offset < 0 || p_offset > r_bytes.size() - int64_t(sizeof(T))) {
		_err_print_error("encode", __FILE__, __LINE__, "Condition \"p_offset < 0 || p_offset > int64_t(size) - int64_t(sizeof(T))\" is true.");
		return;
	}
	std::memcpy(r_bytes.ptrw() + p_offset, &p_value, sizeof(T));
}

} // namespace

PackedByteArray PackedByteArray::to_byte_array() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return *this;
}

PackedByteArray PackedInt32Array::to_byte_array() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return bytes_of(*this);
}

PackedByteArray PackedInt64Array::to_byte_array() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return bytes_of(*this);
}

PackedByteArray PackedFloat32Array::to_byte_array() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return bytes_of(*this);
}

PackedByteArray PackedFloat64Array::to_byte_array() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return bytes_of(*this);
}

PackedByteArray PackedStringArray::to_byte_array() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	// The engine writes each string's UTF-8 bytes followed by a terminator.
	PackedByteArray bytes;
	for (int64_t i = 0; i < size(); i++) {
		const CharString text = ptr()[i].utf8();
		for (int64_t j = 0; j < text.length(); j++) {
			bytes.push_back(uint8_t(text.get_data()[j]));
		}
		bytes.push_back(0);
	}
	return bytes;
}

PackedByteArray PackedVector2Array::to_byte_array() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return bytes_of(*this);
}

PackedByteArray PackedVector3Array::to_byte_array() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return bytes_of(*this);
}

String PackedByteArray::get_string_from_utf8() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	if (is_empty()) {
		return String();
	}
	return String::utf8(reinterpret_cast<const char *>(ptr()), size());
}

String PackedByteArray::get_string_from_ascii() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	std::string text;
	for (int64_t i = 0; i < size() && ptr()[i]; i++) {
		text.push_back(char(ptr()[i]));
	}
	return String(text.c_str());
}

String PackedByteArray::get_string_from_utf32() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	const PackedByteArray &bytes = *this;
	std::u32string text;
	for (int64_t i = 0; i + 3 < bytes.size(); i += 4) {
		char32_t code;
		std::memcpy(&code, bytes.ptr() + i, sizeof(code));
		if (code == 0) {
			break;
		}
		text.push_back(code);
	}
	return String(text.data(), int64_t(text.size()));
}

String PackedByteArray::hex_encode() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	static const char DIGITS[] = "0123456789abcdef";
	std::string text;
	for (int64_t i = 0; i < size(); i++) {
		text.push_back(DIGITS[ptr()[i] >> 4]);
		text.push_back(DIGITS[ptr()[i] & 0xf]);
	}
	return String(text.c_str());
}

int64_t PackedByteArray::decode_u8(int64_t p_offset) const {
	ENGINE_DOUBLE_CROSSING;
	return read_at<uint8_t>(*this, p_offset);
}

int64_t PackedByteArray::decode_s8(int64_t p_offset) const {
	ENGINE_DOUBLE_CROSSING;
	return read_at<int8_t>(*this, p_offset);
}

int64_t PackedByteArray::decode_u16(int64_t p_offset) const {
	ENGINE_DOUBLE_CROSSING;
	return read_at<uint16_t>(*this, p_offset);
}

int64_t PackedByteArray::decode_s16(int64_t p_offset) const {
	ENGINE_DOUBLE_CROSSING;
	return read_at<int16_t>(*this, p_offset);
}

int64_t PackedByteArray::decode_u32(int64_t p_offset) const {
	ENGINE_DOUBLE_CROSSING;
	return read_at<uint32_t>(*this, p_offset);
}

int64_t PackedByteArray::decode_s32(int64_t p_offset) const {
	ENGINE_DOUBLE_CROSSING;
	return read_at<int32_t>(*this, p_offset);
}

int64_t PackedByteArray::decode_u64(int64_t p_offset) const {
	ENGINE_DOUBLE_CROSSING;
	return int64_t(read_at<uint64_t>(*this, p_offset));
}

int64_t PackedByteArray::decode_s64(int64_t p_offset) const {
	ENGINE_DOUBLE_CROSSING;
	return read_at<int64_t>(*this, p_offset);
}

double PackedByteArray::decode_float(int64_t p_offset) const {
	ENGINE_DOUBLE_CROSSING;
	return read_at<float>(*this, p_offset);
}

double PackedByteArray::decode_double(int64_t p_offset) const {
	ENGINE_DOUBLE_CROSSING;
	return read_at<double>(*this, p_offset);
}

void PackedByteArray::encode_u8(int64_t p_offset, int64_t p_value) {
	ENGINE_DOUBLE_CROSSING;
	write_at(*this, p_offset, uint8_t(p_value));
}

void PackedByteArray::encode_s8(int64_t p_offset, int64_t p_value) {
	ENGINE_DOUBLE_CROSSING;
	write_at(*this, p_offset, int8_t(p_value));
}

void PackedByteArray::encode_u16(int64_t p_offset, int64_t p_value) {
	ENGINE_DOUBLE_CROSSING;
	write_at(*this, p_offset, uint16_t(p_value));
}

void PackedByteArray::encode_s16(int64_t p_offset, int64_t p_value) {
	ENGINE_DOUBLE_CROSSING;
	write_at(*this, p_offset, int16_t(p_value));
}

void PackedByteArray::encode_u32(int64_t p_offset, int64_t p_value) {
	ENGINE_DOUBLE_CROSSING;
	write_at(*this, p_offset, uint32_t(p_value));
}

void PackedByteArray::encode_s32(int64_t p_offset, int64_t p_value) {
	ENGINE_DOUBLE_CROSSING;
	write_at(*this, p_offset, int32_t(p_value));
}

void PackedByteArray::encode_u64(int64_t p_offset, int64_t p_value) {
	ENGINE_DOUBLE_CROSSING;
	write_at(*this, p_offset, uint64_t(p_value));
}

void PackedByteArray::encode_s64(int64_t p_offset, int64_t p_value) {
	ENGINE_DOUBLE_CROSSING;
	write_at(*this, p_offset, p_value);
}

void PackedByteArray::encode_float(int64_t p_offset, double p_value) {
	ENGINE_DOUBLE_CROSSING;
	write_at(*this, p_offset, float(p_value));
}

void PackedByteArray::encode_double(int64_t p_offset, double p_value) {
	ENGINE_DOUBLE_CROSSING;
	write_at(*this, p_offset, p_value);
}

PackedInt32Array PackedByteArray::to_int32_array() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return from_bytes<PackedInt32Array>(*this);
}

PackedInt64Array PackedByteArray::to_int64_array() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return from_bytes<PackedInt64Array>(*this);
}

PackedFloat32Array PackedByteArray::to_float32_array() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return from_bytes<PackedFloat32Array>(*this);
}

PackedFloat64Array PackedByteArray::to_float64_array() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return from_bytes<PackedFloat64Array>(*this);
}

} // namespace godot
