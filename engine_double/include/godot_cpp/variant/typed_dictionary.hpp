#pragma once

#include <engine_double/internal/typed_element.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace godot {

// A Dictionary typed at construction, with TypedArray's sharing and conversion rules.
template <typename K, typename V>
class TypedDictionary : public Dictionary {
	using Key = engine_double::internal::TypedElement<K>;
	using Value = engine_double::internal::TypedElement<V>;

	void _set_types() {
		set_typed(Key::TYPE, Key::class_name(), Variant(), Value::TYPE, Value::class_name(), Variant());
	}

public:
	void operator=(const Dictionary &p_dictionary) {
		// godot-cpp words this differently for object-only and builtin element types.
		if (!is_same_typed(p_dictionary)) {
			if (engine_double::internal::TYPED_ELEMENT_IS_BUILTIN<K> || engine_double::internal::TYPED_ELEMENT_IS_BUILTIN<V>) {
				ERR_FAIL_MSG("Cannot assign an dictionary with a different element type.");
			}
			ERR_FAIL_MSG("Cannot assign a dictionary with a different element type.");
		}
		_ref(p_dictionary);
	}
	TypedDictionary(const Variant &p_variant) :
	        TypedDictionary(Dictionary(p_variant)) {}
	TypedDictionary(const Dictionary &p_dictionary) {
		_set_types();
		if (is_same_typed(p_dictionary)) {
			_ref(p_dictionary);
		} else {
			assign(p_dictionary);
		}
	}
	TypedDictionary() {
		_set_types();
	}
};

} // namespace godot
