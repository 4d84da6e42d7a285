#pragma once

#include <godot_cpp/core/defs.hpp>

#include <cstdint>
#include <initializer_list>

namespace engine_double::internal {
struct DictionaryData;
} // namespace engine_double::internal

namespace godot {

class Array;
class StringName;
class Variant;

// A handle to a shared, insertion-ordered hash map. A String key and a StringName key with
// the same text are one key; the stored key keeps the type it was first inserted with.
class ENGINE_DOUBLE_API Dictionary {
	mutable engine_double::internal::DictionaryData *_p;

public:
	Dictionary();
	Dictionary(const Dictionary &p_other);
	Dictionary(Dictionary &&p_other) noexcept;
	Dictionary &operator=(const Dictionary &p_other);
	Dictionary &operator=(Dictionary &&p_other) noexcept;
	~Dictionary();

	// A typed copy of p_base, converting its keys and values.
	Dictionary(const Dictionary &p_base, int64_t p_key_type, const StringName &p_key_class_name, const Variant &p_key_script, int64_t p_value_type, const StringName &p_value_class_name, const Variant &p_value_script);

	int64_t size() const;
	bool is_empty() const;
	void clear();
	void assign(const Dictionary &p_dictionary);
	void merge(const Dictionary &p_dictionary, bool p_overwrite = false);
	Dictionary merged(const Dictionary &p_dictionary, bool p_overwrite = false) const;
	bool has(const Variant &p_key) const;
	bool has_all(const Array &p_keys) const;
	Variant find_key(const Variant &p_value) const;
	bool erase(const Variant &p_key);
	int64_t hash() const;
	Array keys() const;
	Array values() const;
	Dictionary duplicate(bool p_deep = false) const;
	Dictionary duplicate_deep(int64_t p_deep_subresources_mode = 1) const;
	Variant get(const Variant &p_key, const Variant &p_default) const;
	Variant get_or_add(const Variant &p_key, const Variant &p_default);
	bool set(const Variant &p_key, const Variant &p_value);
	void sort();
	bool recursive_equal(const Dictionary &p_dictionary, int64_t p_recursion_count) const;

	bool is_typed() const;
	bool is_typed_key() const;
	bool is_typed_value() const;
	bool is_same_typed(const Dictionary &p_dictionary) const;
	bool is_same_typed_key(const Dictionary &p_dictionary) const;
	bool is_same_typed_value(const Dictionary &p_dictionary) const;
	int64_t get_typed_key_builtin() const;
	int64_t get_typed_value_builtin() const;
	StringName get_typed_key_class_name() const;
	StringName get_typed_value_class_name() const;
	Variant get_typed_key_script() const;
	Variant get_typed_value_script() const;
	void set_typed(uint32_t p_key_type, const StringName &p_key_class_name, const Variant &p_key_script, uint32_t p_value_type, const StringName &p_value_class_name, const Variant &p_value_script);

	void make_read_only();
	bool is_read_only() const;

	const Variant &operator[](const Variant &p_key) const;
	Variant &operator[](const Variant &p_key);

	bool operator==(const Dictionary &p_other) const;
	bool operator!=(const Dictionary &p_other) const;
	ENGINE_DOUBLE_NIL_COMPARISON bool operator==(const Variant &p_other) const;
	ENGINE_DOUBLE_NIL_COMPARISON bool operator!=(const Variant &p_other) const;
	bool operator!() const;

	// Share p_from's data (TypedDictionary's construction and assignment).
	void _ref(const Dictionary &p_from) const;
	// The identity of the shared data (is_same).
	const void *_identity() const { return _p; }
	engine_double::internal::DictionaryData *_get_data() const { return _p; }
};

} // namespace godot
