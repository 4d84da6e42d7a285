#pragma once

// Reads of a script's dictionary that take no copy of what they read: a lookup that copies
// the value out (Dictionary::get) costs a Variant made and destroyed, and a conversion to a
// Dictionary one more of each. The answers point into the dictionary, so they are read
// before any script runs again.

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

// The value under p_key, or p_default when the dictionary has none.
inline const godot::Variant &entry_or(const godot::Dictionary &p_dictionary, const godot::Variant &p_key, const godot::Variant &p_default) {
	return p_dictionary.has(p_key) ? p_dictionary[p_key] : p_default;
}

// True when p_value is a dictionary holding p_key; a value of another type holds no key, as
// the empty dictionary it would convert to.
inline bool dictionary_has(const godot::Variant &p_value, const godot::Variant &p_key) {
	// The type first: an object's keyed test would run its script.
	return p_value.get_type() == godot::Variant::DICTIONARY && p_value.has_key(p_key);
}

} // namespace veltrin
