#include <engine_double/internal/crossing.hpp>
#include <godot_cpp/variant/string.hpp>

#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/node_path.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace engine_double::internal {

StringBuffer *string_buffer_allocate(int64_t p_length) {
	const size_t bytes = sizeof(StringBuffer) + (size_t(p_length) + 1) * sizeof(char32_t);
	void *memory = std::malloc(bytes);
	if (!memory) {
		throw std::bad_alloc();
	}
	StringBuffer *buffer = new (memory) StringBuffer;
	buffer->refcount.store(1, std::memory_order_relaxed);
	buffer->length = p_length;
	std::memset(static_cast<void *>(buffer->data()), 0, (size_t(p_length) + 1) * sizeof(char32_t));
	return buffer;
}

void string_buffer_free(StringBuffer *p_buffer) {
	p_buffer->~StringBuffer();
	std::free(p_buffer);
}

} // namespace engine_double::internal

namespace godot {

using engine_double::internal::string_buffer_allocate;
using engine_double::internal::string_buffer_ref;
using engine_double::internal::string_buffer_unref;
using engine_double::internal::StringBuffer;

namespace {

const char32_t EMPTY_TEXT[1] = { 0 };

template <typename C>
int64_t text_length(const C *p_text) {
	int64_t length = 0;
	if (p_text) {
		while (p_text[length]) {
			length++;
		}
	}
	return length;
}

// Godot replaces what is not a Unicode scalar value.
char32_t sanitize(char32_t p_char) {
	if ((p_char >= 0xd800 && p_char <= 0xdfff) || p_char > 0x10ffff) {
		return 0xfffd;
	}
	return p_char;
}

String from_code_points(const char32_t *p_text, int64_t p_length) {
	return String(p_text, p_length);
}

} // namespace

String &String::operator=(const String &p_other) {
	ENGINE_DOUBLE_CROSSINGS(2);
	if (_buffer != p_other._buffer) {
		string_buffer_ref(p_other._buffer);
		string_buffer_unref(_buffer);
		_buffer = p_other._buffer;
	}
	return *this;
}

String &String::operator=(String &&p_other) noexcept {
	if (this != &p_other) {
		string_buffer_unref(_buffer);
		_buffer = p_other._buffer;
		p_other._buffer = nullptr;
	}
	return *this;
}

String::String(const char32_t *p_utf32, int64_t p_length) {
	ENGINE_DOUBLE_COSTED(STRING_FROM_CHARS);
	if (!p_utf32 || p_length <= 0) {
		return;
	}
	_buffer = string_buffer_allocate(p_length);
	char32_t *data = _buffer->data();
	for (int64_t i = 0; i < p_length; i++) {
		data[i] = p_utf32[i];
	}
}

String::String(const char *p_latin1) {
	ENGINE_DOUBLE_COSTED(STRING_FROM_CHARS);
	// godot-cpp reads a C string as Latin-1; String::utf8() is the UTF-8 path.
	const int64_t length = text_length(p_latin1);
	if (length == 0) {
		return;
	}
	_buffer = string_buffer_allocate(length);
	char32_t *data = _buffer->data();
	for (int64_t i = 0; i < length; i++) {
		data[i] = static_cast<unsigned char>(p_latin1[i]);
	}
}

String::String(const wchar_t *p_text) {
	ENGINE_DOUBLE_COSTED(STRING_FROM_CHARS);
	const int64_t length = text_length(p_text);
	if (length == 0) {
		return;
	}
	_buffer = string_buffer_allocate(length);
	char32_t *data = _buffer->data();
	for (int64_t i = 0; i < length; i++) {
		data[i] = sanitize(static_cast<char32_t>(p_text[i]));
	}
}

String::String(const char16_t *p_utf16) {
	ENGINE_DOUBLE_COSTED(STRING_FROM_CHARS);
	*this = utf16(p_utf16, -1);
}

String::String(const char32_t *p_utf32) :
        String(p_utf32, text_length(p_utf32)) {}

String::String(const StringName &p_name) :
        String(p_name._text()) {}

String::String(const NodePath &p_path) :
        String(p_path._text()) {}

String String::utf8(const char *p_utf8, int64_t p_length) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_FROM_CHARS);
	if (!p_utf8) {
		return String();
	}
	if (p_length < 0) {
		p_length = int64_t(std::strlen(p_utf8));
	} else {
		// A length limit still stops at an embedded terminator, as the engine does.
		int64_t actual = 0;
		while (actual < p_length && p_utf8[actual]) {
			actual++;
		}
		p_length = actual;
	}
	std::u32string decoded;
	decoded.reserve(size_t(p_length));
	const unsigned char *bytes = reinterpret_cast<const unsigned char *>(p_utf8);
	int64_t i = 0;
	while (i < p_length) {
		const unsigned char lead = bytes[i];
		int extra = 0;
		char32_t code = 0;
		if (lead < 0x80) {
			code = lead;
		} else if ((lead & 0xe0) == 0xc0) {
			extra = 1;
			code = lead & 0x1f;
		} else if ((lead & 0xf0) == 0xe0) {
			extra = 2;
			code = lead & 0x0f;
		} else if ((lead & 0xf8) == 0xf0) {
			extra = 3;
			code = lead & 0x07;
		} else {
			decoded.push_back(0xfffd);
			i++;
			continue;
		}
		bool valid = true;
		for (int k = 1; k <= extra; k++) {
			if (i + k >= p_length || (bytes[i + k] & 0xc0) != 0x80) {
				valid = false;
				break;
			}
			code = (code << 6) | (bytes[i + k] & 0x3f);
		}
		if (!valid) {
			decoded.push_back(0xfffd);
			i++;
			continue;
		}
		// Overlong forms are not accepted.
		if ((extra == 1 && code < 0x80) || (extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000)) {
			code = 0xfffd;
		}
		decoded.push_back(sanitize(code));
		i += extra + 1;
	}
	return from_code_points(decoded.data(), int64_t(decoded.size()));
}

String String::utf16(const char16_t *p_utf16, int64_t p_length) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_FROM_CHARS);
	if (!p_utf16) {
		return String();
	}
	if (p_length < 0) {
		p_length = text_length(p_utf16);
	}
	std::u32string decoded;
	decoded.reserve(size_t(p_length));
	for (int64_t i = 0; i < p_length && p_utf16[i]; i++) {
		const char32_t unit = p_utf16[i];
		if (unit >= 0xd800 && unit <= 0xdbff && i + 1 < p_length && p_utf16[i + 1] >= 0xdc00 && p_utf16[i + 1] <= 0xdfff) {
			decoded.push_back(0x10000 + ((unit - 0xd800) << 10) + (char32_t(p_utf16[i + 1]) - 0xdc00));
			i++;
		} else {
			decoded.push_back(sanitize(unit));
		}
	}
	return from_code_points(decoded.data(), int64_t(decoded.size()));
}

String String::chr(int64_t p_char) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_FROM_CHARS);
	const char32_t code = sanitize(char32_t(uint32_t(p_char)));
	return String(&code, 1);
}

int64_t String::hash() const {
	ENGINE_DOUBLE_CROSSING;
	// djb2, as the engine hashes strings; StringName caches the same value.
	uint32_t hash_value = 5381;
	const char32_t *data = ptr();
	for (int64_t i = 0; i < length(); i++) {
		hash_value = ((hash_value << 5) + hash_value) + uint32_t(data[i]);
	}
	return hash_value;
}

const char32_t *String::ptr() const {
	ENGINE_DOUBLE_CROSSING;
	return _buffer ? _buffer->data() : EMPTY_TEXT;
}

void String::_copy_on_write() {
	if (_buffer && _buffer->refcount.load(std::memory_order_acquire) > 1) {
		StringBuffer *copy = string_buffer_allocate(_buffer->length);
		std::memcpy(static_cast<void *>(copy->data()), _buffer->data(), size_t(_buffer->length) * sizeof(char32_t));
		string_buffer_unref(_buffer);
		_buffer = copy;
	}
}

char32_t *String::ptrw() {
	ENGINE_DOUBLE_CROSSING;
	if (!_buffer) {
		return nullptr;
	}
	_copy_on_write();
	return _buffer->data();
}

const char32_t &String::operator[](int64_t p_index) const {
	ENGINE_DOUBLE_CROSSING;
	// The terminator is readable, as in the engine.
	if (p_index < 0 || p_index > length()) {
		_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, p_index, length() + 1, "p_index", "size()", "String::operator[] index out of range (the engine would crash)");
		static const char32_t scratch = 0;
		return scratch;
	}
	return ptr()[p_index];
}

char32_t &String::operator[](int64_t p_index) {
	ENGINE_DOUBLE_CROSSING;
	if (p_index == length() && p_index >= 0) {
		// The terminator: readable, but a write must not reach the shared buffer.
		static thread_local char32_t terminator;
		terminator = 0;
		return terminator;
	}
	if (p_index < 0 || p_index >= length()) {
		_err_print_index_error(FUNCTION_STR, __FILE__, __LINE__, p_index, length(), "p_index", "size()", "String::operator[] index out of range (the engine would crash)");
		static thread_local char32_t scratch;
		scratch = 0;
		return scratch;
	}
	return ptrw()[p_index];
}

Error String::resize(int64_t p_size) {
	ENGINE_DOUBLE_CROSSING;
	ERR_FAIL_COND_V(p_size < 0, ERR_INVALID_PARAMETER);
	const int64_t new_length = p_size > 0 ? p_size - 1 : 0;
	if (new_length == length()) {
		return OK;
	}
	if (new_length == 0) {
		string_buffer_unref(_buffer);
		_buffer = nullptr;
		return OK;
	}
	StringBuffer *resized = string_buffer_allocate(new_length);
	const int64_t keep = new_length < length() ? new_length : length();
	if (keep > 0) {
		std::memcpy(static_cast<void *>(resized->data()), ptr(), size_t(keep) * sizeof(char32_t));
	}
	string_buffer_unref(_buffer);
	_buffer = resized;
	return OK;
}

CharString String::utf8() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	std::string encoded;
	encoded.reserve(size_t(length()));
	const char32_t *data = ptr();
	for (int64_t i = 0; i < length(); i++) {
		const char32_t code = sanitize(data[i]);
		if (code < 0x80) {
			encoded.push_back(char(code));
		} else if (code < 0x800) {
			encoded.push_back(char(0xc0 | (code >> 6)));
			encoded.push_back(char(0x80 | (code & 0x3f)));
		} else if (code < 0x10000) {
			encoded.push_back(char(0xe0 | (code >> 12)));
			encoded.push_back(char(0x80 | ((code >> 6) & 0x3f)));
			encoded.push_back(char(0x80 | (code & 0x3f)));
		} else {
			encoded.push_back(char(0xf0 | (code >> 18)));
			encoded.push_back(char(0x80 | ((code >> 12) & 0x3f)));
			encoded.push_back(char(0x80 | ((code >> 6) & 0x3f)));
			encoded.push_back(char(0x80 | (code & 0x3f)));
		}
	}
	return CharString(std::move(encoded));
}

CharString String::ascii() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	std::string encoded;
	encoded.reserve(size_t(length()));
	const char32_t *data = ptr();
	for (int64_t i = 0; i < length(); i++) {
		encoded.push_back(data[i] <= 0xff ? char(data[i]) : '?');
	}
	return CharString(std::move(encoded));
}

Char16String String::utf16() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	std::u16string encoded;
	const char32_t *data = ptr();
	for (int64_t i = 0; i < length(); i++) {
		const char32_t code = sanitize(data[i]);
		if (code >= 0x10000) {
			encoded.push_back(char16_t(0xd800 + ((code - 0x10000) >> 10)));
			encoded.push_back(char16_t(0xdc00 + ((code - 0x10000) & 0x3ff)));
		} else {
			encoded.push_back(char16_t(code));
		}
	}
	return Char16String(std::move(encoded));
}

Char32String String::utf32() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return Char32String(ptr(), length());
}

CharWideString String::wide_string() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	std::wstring encoded;
	const char32_t *data = ptr();
	for (int64_t i = 0; i < length(); i++) {
		encoded.push_back(wchar_t(data[i]));
	}
	return CharWideString(std::move(encoded));
}

bool String::operator==(const String &p_other) const {
	ENGINE_DOUBLE_COSTED(STRING_COMPARE);
	if (_buffer == p_other._buffer) {
		return true;
	}
	if (length() != p_other.length()) {
		return false;
	}
	return std::memcmp(ptr(), p_other.ptr(), size_t(length()) * sizeof(char32_t)) == 0;
}

bool String::operator==(const char *p_other) const {
	ENGINE_DOUBLE_COSTED(STRING_COMPARE);
	// godot-cpp compares with a String made from the text.
	ENGINE_DOUBLE_CHARGE(STRING_FROM_CHARS, 1);
	ENGINE_DOUBLE_CHARGE(STRING_RELEASE, 1);
	const int64_t other_length = text_length(p_other);
	if (other_length != length()) {
		return false;
	}
	const char32_t *data = ptr();
	for (int64_t i = 0; i < other_length; i++) {
		if (data[i] != char32_t(static_cast<unsigned char>(p_other[i]))) {
			return false;
		}
	}
	return true;
}

bool String::operator==(const char32_t *p_other) const {
	ENGINE_DOUBLE_CROSSING;
	const int64_t other_length = text_length(p_other);
	return other_length == length() && std::memcmp(ptr(), p_other ? p_other : EMPTY_TEXT, size_t(other_length) * sizeof(char32_t)) == 0;
}

bool String::operator==(const StringName &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	return *this == p_other._text();
}

// godot-cpp evaluates these against a nil right-hand side, whatever the Variant holds.
bool String::operator==(const Variant &) const {
	ENGINE_DOUBLE_CROSSING;
	return false;
}

bool String::operator!=(const Variant &) const {
	ENGINE_DOUBLE_CROSSING;
	return true;
}

bool String::operator<(const String &p_other) const {
	ENGINE_DOUBLE_COSTED(STRING_COMPARE);
	// Code point by code point; a proper prefix comes first.
	const char32_t *a = ptr();
	const char32_t *b = p_other.ptr();
	const int64_t a_length = length();
	const int64_t b_length = p_other.length();
	const int64_t common = a_length < b_length ? a_length : b_length;
	for (int64_t i = 0; i < common; i++) {
		if (a[i] != b[i]) {
			return a[i] < b[i];
		}
	}
	return a_length < b_length;
}

String String::operator+(const String &p_other) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	if (p_other.is_empty()) {
		return *this;
	}
	if (is_empty()) {
		return p_other;
	}
	String result;
	result._buffer = string_buffer_allocate(length() + p_other.length());
	std::memcpy(static_cast<void *>(result._buffer->data()), ptr(), size_t(length()) * sizeof(char32_t));
	std::memcpy(static_cast<void *>(result._buffer->data() + length()), p_other.ptr(), size_t(p_other.length()) * sizeof(char32_t));
	return result;
}

String String::operator+(const StringName &p_other) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	return *this + p_other._text();
}

String String::operator+(const char *p_other) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	return *this + String(p_other);
}

String String::operator+(char32_t p_char) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	return *this + chr(p_char);
}

String &String::operator+=(const String &p_other) {
	ENGINE_DOUBLE_COSTED(STRING_BUILD);
	*this = *this + p_other;
	return *this;
}

String &String::operator+=(const char *p_other) {
	ENGINE_DOUBLE_COSTED(STRING_BUILD);
	*this = *this + String(p_other);
	return *this;
}

String &String::operator+=(char32_t p_char) {
	ENGINE_DOUBLE_COSTED(STRING_BUILD);
	*this = *this + chr(p_char);
	return *this;
}

String operator+(const char *p_left, const String &p_right) {
	return String(p_left) + p_right;
}

String operator+(char32_t p_left, const String &p_right) {
	return String::chr(p_left) + p_right;
}

bool operator==(const char *p_left, const String &p_right) {
	return p_right == p_left;
}

bool operator!=(const char *p_left, const String &p_right) {
	return !(p_right == p_left);
}

} // namespace godot
