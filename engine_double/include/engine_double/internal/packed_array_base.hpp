#pragma once

// The shared body of every Packed*Array: a copy-on-write vector. Copies share the
// elements until one of them writes, as the engine's packed arrays do.

#include <engine_double/internal/crossing.hpp>
#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/templates/sort_array.hpp>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

namespace godot {
class Variant;
} // namespace godot

namespace engine_double::internal {

// Engine-style reports for the inline packed-array code.
ENGINE_DOUBLE_API void packed_report_index(const char *p_function, int64_t p_index, int64_t p_size);
ENGINE_DOUBLE_API void packed_report_crash_index(const char *p_class, int64_t p_index, int64_t p_size);
ENGINE_DOUBLE_API void packed_report_negative_resize();
ENGINE_DOUBLE_API void packed_report_huge_resize();
ENGINE_DOUBLE_API void packed_report_insert_index(int64_t p_index, int64_t p_size);
ENGINE_DOUBLE_API void packed_report_remove_index(int64_t p_index, int64_t p_size);

// T is the stored element, B the type the bound methods take and return (int64_t for
// every integer array, double for float arrays).
template <typename Derived, typename T, typename B = T>
class PackedArrayBase {
protected:
	std::shared_ptr<std::vector<T>> _data; // null while empty and never written

	std::vector<T> &_write() {
		if (!_data) {
			_data = std::make_shared<std::vector<T>>();
		} else if (_data.use_count() > 1) {
			_data = std::make_shared<std::vector<T>>(*_data);
		}
		return *_data;
	}
	const std::vector<T> *_read() const { return _data.get(); }
	Derived &_self() { return static_cast<Derived &>(*this); }
	const Derived &_self() const { return static_cast<const Derived &>(*this); }

	// Index kept within the engine's 32-bit-friendly limit for resize().
	static constexpr int64_t MAX_SIZE = int64_t(1) << 40;

public:
	using value_type = T;

	// Crossings as in godot-cpp: construction, copy and destruction call the engine, a move
	// swaps bytes; every method is one call, raw access through ptr()/ptrw() is free.
	PackedArrayBase() { count_crossings(1); }
	PackedArrayBase(const PackedArrayBase &p_other) :
	        _data(p_other._data) { count_crossings(1); }
	PackedArrayBase(PackedArrayBase &&p_other) noexcept :
	        _data(std::move(p_other._data)) {}
	PackedArrayBase &operator=(const PackedArrayBase &p_other) {
		count_crossings(2);
		_data = p_other._data;
		return *this;
	}
	PackedArrayBase &operator=(PackedArrayBase &&p_other) noexcept {
		_data = std::move(p_other._data);
		return *this;
	}
	~PackedArrayBase() { count_crossings(1); }
	PackedArrayBase(std::initializer_list<T> p_init) {
		ENGINE_DOUBLE_CROSSING;
		if (p_init.size()) {
			_data = std::make_shared<std::vector<T>>(p_init);
		}
	}

	int64_t size() const {
		ENGINE_DOUBLE_CROSSING;
		return _data ? int64_t(_data->size()) : 0;
	}
	bool is_empty() const {
		ENGINE_DOUBLE_CROSSING;
		return size() == 0;
	}
	void clear() {
		ENGINE_DOUBLE_CROSSING;
		_data.reset();
	}

	const T *ptr() const {
		ENGINE_DOUBLE_CROSSING;
		return _data && !_data->empty() ? _data->data() : nullptr;
	}
	T *ptrw() {
		ENGINE_DOUBLE_CROSSING;
		if (is_empty()) {
			return nullptr;
		}
		return _write().data();
	}
	const T *begin() const {
		ENGINE_DOUBLE_CROSSING;
		return ptr();
	}
	const T *end() const {
		ENGINE_DOUBLE_CROSSING;
		return ptr() ? ptr() + size() : nullptr;
	}
	T *begin() {
		ENGINE_DOUBLE_CROSSING;
		return ptrw();
	}
	T *end() {
		ENGINE_DOUBLE_CROSSING;
		return ptrw() ? ptrw() + size() : nullptr;
	}

	// Out of range crashes in the engine; the double reports it and hands out a scratch slot.
	const T &operator[](int64_t p_index) const {
		ENGINE_DOUBLE_CROSSING;
		if (p_index < 0 || p_index >= size()) {
			packed_report_crash_index(Derived::_class_name(), p_index, size());
			static const T scratch {};
			return scratch;
		}
		return (*_data)[size_t(p_index)];
	}
	T &operator[](int64_t p_index) {
		ENGINE_DOUBLE_CROSSING;
		if (p_index < 0 || p_index >= size()) {
			packed_report_crash_index(Derived::_class_name(), p_index, size());
			static thread_local T scratch;
			scratch = T();
			return scratch;
		}
		return _write()[size_t(p_index)];
	}

	B get(int64_t p_index) const {
		ENGINE_DOUBLE_CROSSING;
		if (p_index < 0 || p_index >= size()) {
			packed_report_index("get", p_index, size());
			return B();
		}
		return B((*_data)[size_t(p_index)]);
	}
	void set(int64_t p_index, const B &p_value) {
		ENGINE_DOUBLE_CROSSING;
		if (p_index < 0 || p_index >= size()) {
			packed_report_index("set", p_index, size());
			return;
		}
		_write()[size_t(p_index)] = T(p_value);
	}

	// Engine convention: true means failure.
	bool push_back(const B &p_value) {
		ENGINE_DOUBLE_CROSSING;
		_write().push_back(T(p_value));
		return false;
	}
	bool append(const B &p_value) {
		ENGINE_DOUBLE_CROSSING;
		return push_back(p_value);
	}
	void append_array(const Derived &p_other) {
		ENGINE_DOUBLE_CROSSING;
		if (p_other.is_empty()) {
			return;
		}
		const std::shared_ptr<std::vector<T>> keep = p_other._data;
		std::vector<T> &items = _write();
		items.insert(items.end(), keep->begin(), keep->end());
	}
	int64_t insert(int64_t p_index, const B &p_value) {
		ENGINE_DOUBLE_CROSSING;
		const int64_t n = size();
		if (p_index < 0 || p_index > n) {
			packed_report_insert_index(p_index, n);
			return godot::ERR_INVALID_PARAMETER;
		}
		std::vector<T> &items = _write();
		items.insert(items.begin() + p_index, T(p_value));
		return godot::OK;
	}
	void remove_at(int64_t p_index) {
		ENGINE_DOUBLE_CROSSING;
		const int64_t n = size();
		if (p_index < 0 || p_index >= n) {
			packed_report_remove_index(p_index, n);
			return;
		}
		std::vector<T> &items = _write();
		items.erase(items.begin() + p_index);
	}
	void fill(const B &p_value) {
		ENGINE_DOUBLE_CROSSING;
		if (is_empty()) {
			return;
		}
		for (T &item : _write()) {
			item = T(p_value);
		}
	}
	int64_t resize(int64_t p_size) {
		ENGINE_DOUBLE_CROSSING;
		if (p_size < 0) {
			packed_report_negative_resize();
			return godot::ERR_INVALID_PARAMETER;
		}
		if (p_size > MAX_SIZE) {
			packed_report_huge_resize();
			return godot::ERR_OUT_OF_MEMORY;
		}
		if (p_size == size()) {
			return godot::OK;
		}
		_write().resize(size_t(p_size));
		return godot::OK;
	}

	bool has(const B &p_value) const {
		ENGINE_DOUBLE_CROSSING;
		return find(p_value) != -1;
	}
	int64_t find(const B &p_value, int64_t p_from = 0) const {
		ENGINE_DOUBLE_CROSSING;
		const int64_t n = size();
		if (p_from < 0) {
			p_from += n;
			if (p_from < 0) {
				p_from = 0;
			}
		}
		const T value = T(p_value);
		for (int64_t i = p_from; i < n; i++) {
			if ((*_data)[size_t(i)] == value) {
				return i;
			}
		}
		return -1;
	}
	int64_t rfind(const B &p_value, int64_t p_from = -1) const {
		ENGINE_DOUBLE_CROSSING;
		const int64_t n = size();
		if (p_from < 0) {
			p_from += n;
		}
		if (p_from >= n) {
			p_from = n - 1;
		}
		const T value = T(p_value);
		for (int64_t i = p_from; i >= 0; i--) {
			if ((*_data)[size_t(i)] == value) {
				return i;
			}
		}
		return -1;
	}
	int64_t count(const B &p_value) const {
		ENGINE_DOUBLE_CROSSING;
		int64_t result = 0;
		const T value = T(p_value);
		for (int64_t i = 0; i < size(); i++) {
			result += (*_data)[size_t(i)] == value;
		}
		return result;
	}
	bool erase(const B &p_value) {
		ENGINE_DOUBLE_CROSSING;
		const int64_t index = find(p_value);
		if (index == -1) {
			return false;
		}
		remove_at(index);
		return true;
	}
	void reverse() {
		ENGINE_DOUBLE_CROSSING;
		if (size() > 1) {
			std::vector<T> &items = _write();
			std::reverse(items.begin(), items.end());
		}
	}
	void sort() {
		ENGINE_DOUBLE_CROSSING;
		if (size() > 1) {
			std::vector<T> &items = _write();
			godot::SortArray<T> sorter;
			sorter.sort(items.data(), int64_t(items.size()));
		}
	}
	int64_t bsearch(const B &p_value, bool p_before = true) const {
		ENGINE_DOUBLE_CROSSING;
		const T value = T(p_value);
		int64_t low = 0;
		int64_t high = size();
		while (low < high) {
			const int64_t middle = low + (high - low) / 2;
			const T &item = (*_data)[size_t(middle)];
			if (p_before ? item < value : !(value < item)) {
				low = middle + 1;
			} else {
				high = middle;
			}
		}
		return low;
	}
	Derived duplicate() const {
		ENGINE_DOUBLE_CROSSINGS(2);
		Derived copy;
		if (!is_empty()) {
			copy._data = std::make_shared<std::vector<T>>(*_data);
		}
		return copy;
	}
	Derived slice(int64_t p_begin, int64_t p_end = 2147483647) const {
		ENGINE_DOUBLE_CROSSINGS(2);
		Derived result;
		const int64_t n = size();
		if (n == 0) {
			return result;
		}
		if (p_begin < 0) {
			p_begin += n;
		}
		if (p_end < 0) {
			p_end += n;
		}
		p_begin = p_begin < 0 ? 0 : (p_begin > n ? n : p_begin);
		p_end = p_end < 0 ? 0 : (p_end > n ? n : p_end);
		if (p_begin < p_end) {
			result._data = std::make_shared<std::vector<T>>(_data->begin() + p_begin, _data->begin() + p_end);
		}
		return result;
	}

	bool operator==(const Derived &p_other) const {
		ENGINE_DOUBLE_CROSSING;
		if (_data == p_other._data) {
			return true;
		}
		if (size() != p_other.size()) {
			return false;
		}
		for (int64_t i = 0; i < size(); i++) {
			if (!((*_data)[size_t(i)] == (*p_other._data)[size_t(i)])) {
				return false;
			}
		}
		return true;
	}
	bool operator!=(const Derived &p_other) const {
		ENGINE_DOUBLE_CROSSING;
		return !(*this == p_other);
	}
	ENGINE_DOUBLE_NIL_COMPARISON bool operator==(const godot::Variant &) const {
		ENGINE_DOUBLE_CROSSING;
		return false;
	}
	ENGINE_DOUBLE_NIL_COMPARISON bool operator!=(const godot::Variant &) const {
		ENGINE_DOUBLE_CROSSING;
		return true;
	}
	bool operator!() const {
		ENGINE_DOUBLE_CROSSING;
		return is_empty();
	}
	Derived operator+(const Derived &p_other) const {
		ENGINE_DOUBLE_CROSSINGS(2);
		Derived result = _self();
		result.append_array(p_other);
		return result;
	}

	// Identity of the shared elements, for the double's own use.
	const void *_identity() const { return _data.get(); }
};

} // namespace engine_double::internal
