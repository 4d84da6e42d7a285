#pragma once

#include <engine_double/internal/typed_element.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <initializer_list>

namespace godot {

// An Array typed at construction. Constructing from an array of exactly the same type shares
// it; from anything else, the elements are converted (or the result stays empty, with the
// engine's message). Assigning an array of another type is refused.
template <typename T>
class TypedArray : public Array {
	using Element = engine_double::internal::TypedElement<T>;

public:
	void operator=(const Array &p_array) {
		ERR_FAIL_COND_MSG(!is_same_typed(p_array), "Cannot assign an array with a different element type.");
		_ref(p_array);
	}
	TypedArray(const Variant &p_variant) :
	        TypedArray(Array(p_variant)) {}
	TypedArray(const Array &p_array) {
		set_typed(Element::TYPE, Element::class_name(), Variant());
		if (is_same_typed(p_array)) {
			_ref(p_array);
		} else {
			assign(p_array);
		}
	}
	TypedArray(std::initializer_list<Variant> p_init) :
	        TypedArray(Array(p_init)) {}
	TypedArray() {
		set_typed(Element::TYPE, Element::class_name(), Variant());
	}
};

} // namespace godot
