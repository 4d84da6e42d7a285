#pragma once

#include <engine_double/internal/crossing.hpp>
#include <engine_double/internal/string_buffer.hpp>
#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/char_string.hpp>

#include <cstdint>

namespace godot {

class Array;
class NodePath;
class PackedStringArray;
class StringName;
class Variant;

// Godot's String: UTF-32 code points, shared copy-on-write.
class ENGINE_DOUBLE_API String {
	engine_double::internal::StringBuffer *_buffer = nullptr;

	friend class StringName;
	void _copy_on_write();

public:
	// Crossings as in godot-cpp: construction, copy and destruction call the engine, a move
	// swaps bytes.
	String() :
	        _buffer(nullptr) { engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_PLAIN); }
	String(const String &p_other) :
	        _buffer(p_other._buffer) {
		engine_double::internal::count_crossing(engine_double::internal::Cost::STRING_COPY);
		engine_double::internal::string_buffer_ref(_buffer);
	}
	String(String &&p_other) noexcept :
	        _buffer(p_other._buffer) { p_other._buffer = nullptr; }
	~String() {
		engine_double::internal::count_crossing(engine_double::internal::Cost::STRING_RELEASE);
		engine_double::internal::string_buffer_unref(_buffer);
	}
	String &operator=(const String &p_other);
	String &operator=(String &&p_other) noexcept;

	String(const char *p_utf8);
	String(const wchar_t *p_text);
	String(const char16_t *p_utf16);
	String(const char32_t *p_utf32);
	String(const char32_t *p_utf32, int64_t p_length);
	String(const StringName &p_name);
	String(const NodePath &p_path);

	static String utf8(const char *p_utf8, int64_t p_length = -1);
	static String utf16(const char16_t *p_utf16, int64_t p_length = -1);
	static String chr(int64_t p_char);
	static String num(double p_number, int64_t p_decimals = -1);
	static String num_int64(int64_t p_number, int64_t p_base = 10, bool p_capitalize_hex = false);
	static String num_uint64(uint64_t p_number, int64_t p_base = 10, bool p_capitalize_hex = false);
	static String num_real(double p_number, bool p_trailing = true);
	static String num_scientific(double p_number);

	int64_t length() const {
		engine_double::internal::count_crossings(1);
		return _buffer ? _buffer->length : 0;
	}
	bool is_empty() const { return length() == 0; }
	int64_t hash() const;

	const char32_t *ptr() const;
	char32_t *ptrw();
	const char32_t &operator[](int64_t p_index) const;
	char32_t &operator[](int64_t p_index);
	// Size counts the terminator, as Godot's CowData-based String does.
	Error resize(int64_t p_size);

	CharString utf8() const;
	CharString ascii() const;
	Char16String utf16() const;
	Char32String utf32() const;
	CharWideString wide_string() const;

	String substr(int64_t p_from, int64_t p_len = -1) const;
	String left(int64_t p_length) const;
	String right(int64_t p_length) const;
	bool begins_with(const String &p_text) const;
	bool ends_with(const String &p_text) const;
	bool contains(const String &p_what) const;
	int64_t find(const String &p_what, int64_t p_from = 0) const;
	int64_t rfind(const String &p_what, int64_t p_from = -1) const;
	int64_t count(const String &p_what, int64_t p_from = 0, int64_t p_to = 0) const;
	String replace(const String &p_what, const String &p_forwhat) const;
	String repeat(int64_t p_count) const;
	String to_lower() const;
	String to_upper() const;
	String strip_edges(bool p_left = true, bool p_right = true) const;
	PackedStringArray split(const String &p_delimiter = String(), bool p_allow_empty = true, int64_t p_maxsplit = 0) const;
	String join(const PackedStringArray &p_parts) const;
	int64_t casecmp_to(const String &p_to) const;

	int64_t to_int() const;
	double to_float() const;
	bool is_valid_int() const;
	bool is_valid_float() const;

	bool operator==(const String &p_other) const;
	bool operator!=(const String &p_other) const { return !(*this == p_other); }
	bool operator==(const char *p_other) const;
	bool operator!=(const char *p_other) const { return !(*this == p_other); }
	bool operator==(const char32_t *p_other) const;
	bool operator!=(const char32_t *p_other) const { return !(*this == p_other); }
	bool operator==(const StringName &p_other) const;
	bool operator!=(const StringName &p_other) const { return !(*this == p_other); }
	ENGINE_DOUBLE_NIL_COMPARISON bool operator==(const Variant &p_other) const;
	ENGINE_DOUBLE_NIL_COMPARISON bool operator!=(const Variant &p_other) const;
	bool operator<(const String &p_other) const;
	bool operator<=(const String &p_other) const { return !(p_other < *this); }
	bool operator>(const String &p_other) const { return p_other < *this; }
	bool operator>=(const String &p_other) const { return !(*this < p_other); }

	String operator+(const String &p_other) const;
	String operator+(const StringName &p_other) const;
	String operator+(const char *p_other) const;
	String operator+(char32_t p_char) const;
	String &operator+=(const String &p_other);
	String &operator+=(const char *p_other);
	String &operator+=(char32_t p_char);
	// printf-style formatting with a Variant or an Array of Variants.
	String operator%(const Variant &p_values) const;
};

ENGINE_DOUBLE_API String operator+(const char *p_left, const String &p_right);
ENGINE_DOUBLE_API String operator+(char32_t p_left, const String &p_right);
ENGINE_DOUBLE_API bool operator==(const char *p_left, const String &p_right);
ENGINE_DOUBLE_API bool operator!=(const char *p_left, const String &p_right);

ENGINE_DOUBLE_API String itos(int64_t p_value);
ENGINE_DOUBLE_API String uitos(uint64_t p_value);
ENGINE_DOUBLE_API String rtos(double p_value);

} // namespace godot
