// Keyed and indexed access through a Variant, and duplicate().

#include "variant_access.hpp"
#include <engine_double/internal/crossing.hpp>

namespace godot {

void Variant::set_keyed(const Variant &p_key, const Variant &p_value, bool &r_valid) {
	ENGINE_DOUBLE_CROSSING;
	r_valid = false;
	if (type == DICTIONARY) {
		r_valid = _slot<Dictionary>()->set(p_key, p_value);
	}
}

// A dictionary's keyed read is the lookup and copy Dictionary::get makes; another type's a
// plain call.
namespace {
engine_double::internal::Crossing keyed_read(Variant::Type p_type) {
	using engine_double::internal::Cost;
	using engine_double::internal::Crossing;
	return p_type == Variant::DICTIONARY ? Crossing(Cost::DICT_GET, 2) : Crossing(2);
}
} // namespace

Variant Variant::get_keyed(const Variant &p_key, bool &r_valid) const {
	const engine_double::internal::Crossing crossing = keyed_read(type);
	r_valid = false;
	if (type == DICTIONARY) {
		const Dictionary &dictionary = *_slot<Dictionary>();
		if (dictionary.has(p_key)) {
			r_valid = true;
			return dictionary.get(p_key, Variant());
		}
	}
	return Variant();
}

void Variant::set_indexed(int64_t p_index, const Variant &p_value, bool &r_valid, bool &r_oob) {
	ENGINE_DOUBLE_CROSSING;
	r_valid = false;
	r_oob = false;
	if (type != ARRAY) {
		return;
	}
	Array &array = *_slot<Array>();
	const int64_t index = p_index < 0 ? p_index + array.size() : p_index;
	if (index < 0 || index >= array.size()) {
		r_oob = true;
		return;
	}
	r_valid = true;
	array.set(index, p_value);
}

Variant Variant::get_indexed(int64_t p_index, bool &r_valid, bool &r_oob) const {
	ENGINE_DOUBLE_CROSSINGS(2);
	r_valid = false;
	r_oob = false;
	switch (type) {
		case ARRAY: {
			const Array &array = *_slot<Array>();
			const int64_t index = p_index < 0 ? p_index + array.size() : p_index;
			if (index < 0 || index >= array.size()) {
				r_oob = true;
				return Variant();
			}
			r_valid = true;
			return array[index];
		}
		case STRING: {
			const String &text = *_slot<String>();
			const int64_t index = p_index < 0 ? p_index + text.length() : p_index;
			if (index < 0 || index >= text.length()) {
				r_oob = true;
				return Variant();
			}
			r_valid = true;
			return text.substr(index, 1);
		}
		case PACKED_INT64_ARRAY: {
			const PackedInt64Array &array = VariantAccess::packed<PackedInt64Array>(*this);
			const int64_t index = p_index < 0 ? p_index + array.size() : p_index;
			if (index < 0 || index >= array.size()) {
				r_oob = true;
				return Variant();
			}
			r_valid = true;
			return array.ptr()[index];
		}
		case PACKED_BYTE_ARRAY: {
			const PackedByteArray &array = VariantAccess::packed<PackedByteArray>(*this);
			const int64_t index = p_index < 0 ? p_index + array.size() : p_index;
			if (index < 0 || index >= array.size()) {
				r_oob = true;
				return Variant();
			}
			r_valid = true;
			return int64_t(array.ptr()[index]);
		}
		default:
			return Variant();
	}
}

void Variant::set(const Variant &p_key, const Variant &p_value, bool *r_valid) {
	ENGINE_DOUBLE_CROSSING;
	bool valid = false;
	if (type == DICTIONARY) {
		set_keyed(p_key, p_value, valid);
	} else if (type == ARRAY && p_key.get_type() == INT) {
		bool oob = false;
		set_indexed(int64_t(p_key), p_value, valid, oob);
	}
	if (r_valid) {
		*r_valid = valid;
	}
}

Variant Variant::get(const Variant &p_key, bool *r_valid) const {
	const engine_double::internal::Crossing crossing = keyed_read(type);
	bool valid = false;
	Variant result;
	if (type == DICTIONARY) {
		result = get_keyed(p_key, valid);
	} else if (p_key.get_type() == INT) {
		bool oob = false;
		result = get_indexed(int64_t(p_key), valid, oob);
	}
	if (r_valid) {
		*r_valid = valid;
	}
	return result;
}

bool Variant::has_key(const Variant &p_key, bool *r_valid) const {
	// The same lookup as Dictionary::has behind one more dispatch on the type.
	ENGINE_DOUBLE_COSTED(DICT_HAS);
	if (type == DICTIONARY) {
		if (r_valid) {
			*r_valid = true;
		}
		return _slot<Dictionary>()->has(p_key);
	}
	if (r_valid) {
		*r_valid = false;
	}
	return false;
}

bool Variant::in(const Variant &p_index, bool *r_valid) const {
	ENGINE_DOUBLE_CROSSING;
	bool valid = false;
	Variant result;
	// godot-cpp's reading: is this value in p_index.
	evaluate(OP_IN, *this, p_index, result, valid);
	if (r_valid) {
		*r_valid = valid;
	}
	return valid && result.booleanize();
}

Variant Variant::duplicate(bool p_deep) const {
	ENGINE_DOUBLE_CROSSINGS(2);
	switch (type) {
		case ARRAY:
			return _slot<Array>()->duplicate(p_deep);
		case DICTIONARY:
			return _slot<Dictionary>()->duplicate(p_deep);
		case PACKED_BYTE_ARRAY:
			return VariantAccess::packed<PackedByteArray>(*this).duplicate();
		case PACKED_INT32_ARRAY:
			return VariantAccess::packed<PackedInt32Array>(*this).duplicate();
		case PACKED_INT64_ARRAY:
			return VariantAccess::packed<PackedInt64Array>(*this).duplicate();
		case PACKED_FLOAT32_ARRAY:
			return VariantAccess::packed<PackedFloat32Array>(*this).duplicate();
		case PACKED_FLOAT64_ARRAY:
			return VariantAccess::packed<PackedFloat64Array>(*this).duplicate();
		case PACKED_STRING_ARRAY:
			return VariantAccess::packed<PackedStringArray>(*this).duplicate();
		case PACKED_VECTOR2_ARRAY:
			return VariantAccess::packed<PackedVector2Array>(*this).duplicate();
		case PACKED_VECTOR3_ARRAY:
			return VariantAccess::packed<PackedVector3Array>(*this).duplicate();
		default:
			// Objects are shared, value types copied.
			return *this;
	}
}

} // namespace godot
