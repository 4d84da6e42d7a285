// Searching, slicing and case mapping of String, following the engine's edge cases.

#include <engine_double/internal/crossing.hpp>
#include <godot_cpp/variant/packed_string_array.hpp>
#include <godot_cpp/variant/string.hpp>

#include <string>

namespace godot {

namespace {

char32_t lower_char(char32_t p_char) {
	if ((p_char >= 'A' && p_char <= 'Z') || (p_char >= 0xc0 && p_char <= 0xde && p_char != 0xd7)) {
		return p_char + 32;
	}
	if (p_char >= 0x391 && p_char <= 0x3a9 && p_char != 0x3a2) {
		return p_char + 32;
	}
	if (p_char >= 0x410 && p_char <= 0x42f) {
		return p_char + 32;
	}
	return p_char;
}

char32_t upper_char(char32_t p_char) {
	if ((p_char >= 'a' && p_char <= 'z') || (p_char >= 0xe0 && p_char <= 0xfe && p_char != 0xf7)) {
		return p_char - 32;
	}
	if (p_char >= 0x3b1 && p_char <= 0x3c9 && p_char != 0x3c2) {
		return p_char - 32;
	}
	if (p_char >= 0x430 && p_char <= 0x44f) {
		return p_char - 32;
	}
	return p_char;
}

bool matches_at(const char32_t *p_text, int64_t p_at, const String &p_what) {
	const char32_t *what = p_what.ptr();
	for (int64_t j = 0; j < p_what.length(); j++) {
		if (p_text[p_at + j] != what[j]) {
			return false;
		}
	}
	return true;
}

} // namespace

String String::substr(int64_t p_from, int64_t p_len) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	const int64_t n = length();
	if (p_len == -1) {
		p_len = n - p_from;
	}
	if (n == 0 || p_from < 0 || p_from >= n || p_len <= 0) {
		return String();
	}
	if (p_len > n - p_from) {
		p_len = n - p_from;
	}
	if (p_from == 0 && p_len >= n) {
		return *this;
	}
	return String(ptr() + p_from, p_len);
}

String String::left(int64_t p_length) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	if (p_length < 0) {
		p_length = length() + p_length;
	}
	if (p_length <= 0) {
		return String();
	}
	return p_length >= length() ? *this : substr(0, p_length);
}

String String::right(int64_t p_length) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	if (p_length < 0) {
		p_length = length() + p_length;
	}
	if (p_length <= 0) {
		return String();
	}
	return p_length >= length() ? *this : substr(length() - p_length, p_length);
}

bool String::begins_with(const String &p_text) const {
	ENGINE_DOUBLE_CROSSING;
	if (p_text.length() > length()) {
		return false;
	}
	return matches_at(ptr(), 0, p_text);
}

bool String::ends_with(const String &p_text) const {
	ENGINE_DOUBLE_CROSSING;
	if (p_text.length() > length()) {
		return false;
	}
	return matches_at(ptr(), length() - p_text.length(), p_text);
}

bool String::contains(const String &p_what) const {
	ENGINE_DOUBLE_CROSSING;
	return p_what.is_empty() || find(p_what) != -1;
}

int64_t String::find(const String &p_what, int64_t p_from) const {
	ENGINE_DOUBLE_CROSSING;
	const int64_t n = length();
	const int64_t m = p_what.length();
	if (p_from < 0 || m == 0 || n == 0) {
		return -1;
	}
	for (int64_t i = p_from; i <= n - m; i++) {
		if (matches_at(ptr(), i, p_what)) {
			return i;
		}
	}
	return -1;
}

int64_t String::rfind(const String &p_what, int64_t p_from) const {
	ENGINE_DOUBLE_CROSSING;
	const int64_t limit = length() - p_what.length();
	if (limit < 0 || p_what.is_empty()) {
		return -1;
	}
	if (p_from < 0 || p_from > limit) {
		p_from = limit;
	}
	for (int64_t i = p_from; i >= 0; i--) {
		if (matches_at(ptr(), i, p_what)) {
			return i;
		}
	}
	return -1;
}

int64_t String::count(const String &p_what, int64_t p_from, int64_t p_to) const {
	ENGINE_DOUBLE_CROSSING;
	const int64_t n = length();
	if (p_what.is_empty() || n == 0) {
		return 0;
	}
	if (p_from < 0) {
		p_from = n + p_from < 0 ? 0 : n + p_from;
	}
	if (p_to == 0) {
		p_to = n;
	} else if (p_to < 0) {
		p_to = n + p_to;
	}
	if (p_to > n) {
		p_to = n;
	}
	int64_t result = 0;
	for (int64_t i = p_from; i + p_what.length() <= p_to;) {
		if (matches_at(ptr(), i, p_what)) {
			result++;
			i += p_what.length();
		} else {
			i++;
		}
	}
	return result;
}

String String::replace(const String &p_what, const String &p_forwhat) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	if (p_what.is_empty() || is_empty()) {
		return *this;
	}
	std::u32string result;
	const char32_t *data = ptr();
	int64_t i = 0;
	bool replaced = false;
	while (i < length()) {
		if (i + p_what.length() <= length() && matches_at(data, i, p_what)) {
			result.append(p_forwhat.ptr(), size_t(p_forwhat.length()));
			i += p_what.length();
			replaced = true;
		} else {
			result.push_back(data[i]);
			i++;
		}
	}
	return replaced ? String(result.data(), int64_t(result.size())) : *this;
}

String String::repeat(int64_t p_count) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	if (p_count <= 0 || is_empty()) {
		return String();
	}
	std::u32string result;
	result.reserve(size_t(length() * p_count));
	for (int64_t i = 0; i < p_count; i++) {
		result.append(ptr(), size_t(length()));
	}
	return String(result.data(), int64_t(result.size()));
}

String String::to_lower() const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	String result = *this;
	for (int64_t i = 0; i < length(); i++) {
		const char32_t mapped = lower_char(ptr()[i]);
		if (mapped != ptr()[i]) {
			result.ptrw()[i] = mapped;
		}
	}
	return result;
}

String String::to_upper() const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	String result = *this;
	for (int64_t i = 0; i < length(); i++) {
		const char32_t mapped = upper_char(ptr()[i]);
		if (mapped != ptr()[i]) {
			result.ptrw()[i] = mapped;
		}
	}
	return result;
}

String String::strip_edges(bool p_left, bool p_right) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	int64_t begin = 0;
	int64_t end = length();
	if (p_left) {
		while (begin < end && ptr()[begin] <= 32) {
			begin++;
		}
	}
	if (p_right) {
		while (end > begin && ptr()[end - 1] <= 32) {
			end--;
		}
	}
	return substr(begin, end - begin);
}

PackedStringArray String::split(const String &p_delimiter, bool p_allow_empty, int64_t p_maxsplit) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	PackedStringArray result;
	const int64_t n = length();
	if (n == 0) {
		if (p_allow_empty) {
			result.push_back(String());
		}
		return result;
	}
	int64_t from = 0;
	while (true) {
		// An empty delimiter splits into single characters.
		int64_t end = p_delimiter.is_empty() ? from + 1 : find(p_delimiter, from);
		if (end < 0) {
			end = n;
		}
		if (p_allow_empty || end > from) {
			if (p_maxsplit > 0 && p_maxsplit == result.size()) {
				result.push_back(substr(from, n));
				break;
			}
			result.push_back(substr(from, end - from));
		}
		if (end == n) {
			break;
		}
		from = end + p_delimiter.length();
	}
	return result;
}

String String::join(const PackedStringArray &p_parts) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, STRING_BUILD);
	String result;
	for (int64_t i = 0; i < p_parts.size(); i++) {
		if (i > 0) {
			result += *this;
		}
		result += p_parts[i];
	}
	return result;
}

int64_t String::casecmp_to(const String &p_to) const {
	ENGINE_DOUBLE_CROSSING;
	if (*this < p_to) {
		return -1;
	}
	return *this == p_to ? 0 : 1;
}

} // namespace godot
