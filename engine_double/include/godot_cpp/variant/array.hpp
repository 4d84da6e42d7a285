#pragma once

#include <godot_cpp/core/defs.hpp>

#include <cstdint>
#include <initializer_list>

namespace engine_double::internal {
struct ArrayData;
} // namespace engine_double::internal

namespace godot {

class Callable;
class PackedByteArray;
class PackedFloat32Array;
class PackedFloat64Array;
class PackedInt32Array;
class PackedInt64Array;
class PackedStringArray;
class PackedVector2Array;
class PackedVector3Array;
class StringName;
class Variant;

// A handle to shared elements: copies see each other's writes, as in the engine.
class ENGINE_DOUBLE_API Array {
	mutable engine_double::internal::ArrayData *_p;

public:
	Array();
	Array(const Array &p_other);
	Array(Array &&p_other) noexcept;
	Array &operator=(const Array &p_other);
	Array &operator=(Array &&p_other) noexcept;
	~Array();

	// A typed copy of p_base, converting its elements.
	Array(const Array &p_base, int64_t p_type, const StringName &p_class_name, const Variant &p_script);
	Array(const PackedByteArray &p_from);
	Array(const PackedInt32Array &p_from);
	Array(const PackedInt64Array &p_from);
	Array(const PackedFloat32Array &p_from);
	Array(const PackedFloat64Array &p_from);
	Array(const PackedStringArray &p_from);
	Array(const PackedVector2Array &p_from);
	Array(const PackedVector3Array &p_from);
	Array(std::initializer_list<Variant> p_init);

	// Defined in variant.hpp.
	template <typename... Args>
	static Array make(Args... p_args);

	int64_t size() const;
	bool is_empty() const;
	void clear();
	Variant get(int64_t p_index) const;
	void set(int64_t p_index, const Variant &p_value);
	const Variant &operator[](int64_t p_index) const;
	Variant &operator[](int64_t p_index);
	const Variant *ptr() const;
	Variant *ptrw();
	const Variant *begin() const;
	const Variant *end() const;
	Variant *begin();
	Variant *end();

	void append(const Variant &p_value);
	void push_back(const Variant &p_value);
	void push_front(const Variant &p_value);
	void append_array(const Array &p_array);
	int64_t insert(int64_t p_position, const Variant &p_value);
	void remove_at(int64_t p_position);
	void erase(const Variant &p_value);
	void fill(const Variant &p_value);
	int64_t resize(int64_t p_size);
	Variant pop_back();
	Variant pop_front();
	Variant pop_at(int64_t p_position);
	Variant front() const;
	Variant back() const;
	Variant pick_random() const;

	bool has(const Variant &p_value) const;
	int64_t find(const Variant &p_what, int64_t p_from = 0) const;
	int64_t find_custom(const Callable &p_method, int64_t p_from = 0) const;
	int64_t rfind(const Variant &p_what, int64_t p_from = -1) const;
	int64_t rfind_custom(const Callable &p_method, int64_t p_from = -1) const;
	int64_t count(const Variant &p_value) const;

	void sort();
	void sort_custom(const Callable &p_func);
	void shuffle();
	void reverse();
	int64_t bsearch(const Variant &p_value, bool p_before = true) const;
	int64_t bsearch_custom(const Variant &p_value, const Callable &p_func, bool p_before = true) const;

	Array duplicate(bool p_deep = false) const;
	Array duplicate_deep(int64_t p_deep_subresources_mode = 1) const;
	Array slice(int64_t p_begin, int64_t p_end = 2147483647, int64_t p_step = 1, bool p_deep = false) const;
	void assign(const Array &p_array);

	Array filter(const Callable &p_method) const;
	Array map(const Callable &p_method) const;
	Variant reduce(const Callable &p_method, const Variant &p_accum) const;
	bool any(const Callable &p_method) const;
	bool all(const Callable &p_method) const;
	Variant max() const;
	Variant min() const;

	bool is_typed() const;
	bool is_same_typed(const Array &p_array) const;
	int64_t get_typed_builtin() const;
	StringName get_typed_class_name() const;
	Variant get_typed_script() const;
	void set_typed(uint32_t p_type, const StringName &p_class_name, const Variant &p_script);

	void make_read_only();
	bool is_read_only() const;

	int64_t hash() const;
	bool recursive_equal(const Array &p_array, int64_t p_recursion_count) const;

	bool operator==(const Array &p_other) const;
	bool operator!=(const Array &p_other) const;
	bool operator<(const Array &p_other) const;
	bool operator<=(const Array &p_other) const;
	bool operator>(const Array &p_other) const;
	bool operator>=(const Array &p_other) const;
	ENGINE_DOUBLE_NIL_COMPARISON bool operator==(const Variant &p_other) const;
	ENGINE_DOUBLE_NIL_COMPARISON bool operator!=(const Variant &p_other) const;
	Array operator+(const Array &p_other) const;
	bool operator!() const;

	// Share p_from's elements (TypedArray's construction and assignment).
	void _ref(const Array &p_from) const;
	// The identity of the shared elements (is_same).
	const void *_identity() const { return _p; }
	engine_double::internal::ArrayData *_get_data() const { return _p; }
};

} // namespace godot
