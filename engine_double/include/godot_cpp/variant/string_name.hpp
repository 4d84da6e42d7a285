#pragma once

#include <engine_double/internal/crossing.hpp>
#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/string.hpp>

#include <cstdint>

namespace engine_double::internal {

// One interned name. Entries live as long as the process, so a StringName is a plain
// pointer copy and equal names are equal pointers.
struct StringNameEntry {
	godot::String text;
	uint32_t hash;
};

} // namespace engine_double::internal

namespace godot {

class ENGINE_DOUBLE_API StringName {
	const engine_double::internal::StringNameEntry *_entry = nullptr;

	static const engine_double::internal::StringNameEntry *_intern(const String &p_text);
	static const engine_double::internal::StringNameEntry *_intern_latin1(const char *p_text);

public:
	// Crossings as in godot-cpp: construction, copy and destruction call the engine, a move
	// swaps bytes; a copy assignment is a destruction and a copy.
	StringName() { engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_PLAIN); }
	StringName(const StringName &p_other) :
	        _entry(p_other._entry) { engine_double::internal::count_crossing(engine_double::internal::Cost::STRING_NAME_COPY); }
	StringName(StringName &&p_other) noexcept :
	        _entry(p_other._entry) {}
	StringName &operator=(const StringName &p_other) {
		engine_double::internal::count_crossing(engine_double::internal::Cost::STRING_NAME_RELEASE);
		engine_double::internal::count_crossing(engine_double::internal::Cost::STRING_NAME_COPY);
		_entry = p_other._entry;
		return *this;
	}
	StringName &operator=(StringName &&p_other) noexcept {
		_entry = p_other._entry;
		return *this;
	}
	~StringName() { engine_double::internal::count_crossing(engine_double::internal::Cost::STRING_NAME_RELEASE); }

	StringName(const String &p_text);
	StringName(const char *p_text, bool p_static = false);
	StringName(const wchar_t *p_text);
	StringName(const char16_t *p_text);
	StringName(const char32_t *p_text);

	bool is_empty() const {
		engine_double::internal::count_crossing(engine_double::internal::Cost::STRING_NAME_COMPARE);
		return _entry == nullptr;
	}
	int64_t length() const {
		ENGINE_DOUBLE_CROSSING;
		return _entry ? _entry->text.length() : 0;
	}
	// String::hash() of the text, so both key a Dictionary alike; 0 for the empty name
	// (whose String hashes to 5381, so "" and &"" are different keys, as in the engine).
	int64_t hash() const {
		engine_double::internal::count_crossings(1);
		return _entry ? _entry->hash : 0;
	}
	uint32_t _hash32() const { return _entry ? _entry->hash : 0u; }
	const String &_text() const;
	const void *_data_pointer() const { return _entry; }

	bool begins_with(const String &p_text) const;
	bool ends_with(const String &p_text) const;
	bool contains(const String &p_what) const;
	int64_t find(const String &p_what, int64_t p_from = 0) const;
	String substr(int64_t p_from, int64_t p_len = -1) const;
	String to_lower() const;
	String to_upper() const;
	int64_t to_int() const;
	double to_float() const;
	CharString utf8() const;

	bool operator==(const StringName &p_other) const {
		engine_double::internal::count_crossing(engine_double::internal::Cost::STRING_NAME_COMPARE);
		return _entry == p_other._entry;
	}
	bool operator!=(const StringName &p_other) const {
		engine_double::internal::count_crossing(engine_double::internal::Cost::STRING_NAME_COMPARE);
		return _entry != p_other._entry;
	}
	bool operator==(const String &p_other) const;
	bool operator!=(const String &p_other) const { return !(*this == p_other); }
	ENGINE_DOUBLE_NIL_COMPARISON bool operator==(const Variant &p_other) const;
	ENGINE_DOUBLE_NIL_COMPARISON bool operator!=(const Variant &p_other) const;
	// Godot orders names by their interned pointers, not by text.
	bool operator<(const StringName &p_other) const {
		engine_double::internal::count_crossing(engine_double::internal::Cost::STRING_NAME_COMPARE);
		return _entry < p_other._entry;
	}
	bool operator<=(const StringName &p_other) const {
		engine_double::internal::count_crossing(engine_double::internal::Cost::STRING_NAME_COMPARE);
		return _entry <= p_other._entry;
	}
	bool operator>(const StringName &p_other) const {
		engine_double::internal::count_crossing(engine_double::internal::Cost::STRING_NAME_COMPARE);
		return _entry > p_other._entry;
	}
	bool operator>=(const StringName &p_other) const {
		engine_double::internal::count_crossing(engine_double::internal::Cost::STRING_NAME_COMPARE);
		return _entry >= p_other._entry;
	}
};

} // namespace godot
