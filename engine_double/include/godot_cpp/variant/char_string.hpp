#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace godot {

// Encoded text handed out by String::utf8(), ascii(), utf16(), utf32() and wide_string().
template <typename T>
class CharStringT {
	std::basic_string<T> _data;

public:
	CharStringT() = default;
	explicit CharStringT(std::basic_string<T> p_data) :
	        _data(std::move(p_data)) {}
	CharStringT(const T *p_data, int64_t p_length) :
	        _data(p_data, static_cast<size_t>(p_length)) {}

	// Godot counts the terminator in size() but not in length().
	int64_t size() const { return _data.empty() ? 0 : static_cast<int64_t>(_data.size()) + 1; }
	int64_t length() const { return static_cast<int64_t>(_data.size()); }
	const T *get_data() const { return _data.c_str(); }
	const T *ptr() const { return _data.c_str(); }
	T *ptrw() { return _data.data(); }
	const T &operator[](int64_t p_index) const { return _data[static_cast<size_t>(p_index)]; }

	bool operator==(const CharStringT &p_other) const { return _data == p_other._data; }
	bool operator!=(const CharStringT &p_other) const { return _data != p_other._data; }
	bool operator<(const CharStringT &p_other) const { return _data < p_other._data; }
};

using CharString = CharStringT<char>;
using Char16String = CharStringT<char16_t>;
using Char32String = CharStringT<char32_t>;
using CharWideString = CharStringT<wchar_t>;

} // namespace godot
