// Variant::stringify: the text print() and str() give.

#include "variant_access.hpp"
#include <engine_double/internal/crossing.hpp>

#include <engine_double/internal/object_seam.hpp>

#include <vector>

namespace godot {

namespace {

const int MAX_RECURSION = 100;

String c_escape(const String &p_text) {
	String escaped = p_text.replace("\\", "\\\\");
	escaped = escaped.replace("\a", "\\a");
	escaped = escaped.replace("\b", "\\b");
	escaped = escaped.replace("\f", "\\f");
	escaped = escaped.replace("\n", "\\n");
	escaped = escaped.replace("\r", "\\r");
	escaped = escaped.replace("\t", "\\t");
	escaped = escaped.replace("\v", "\\v");
	escaped = escaped.replace("\'", "\\'");
	escaped = escaped.replace("?", "\\?");
	escaped = escaped.replace("\"", "\\\"");
	return escaped;
}

String stringify_value(const Variant &p_value, std::vector<const void *> &r_stack, int p_depth);

// Inside a container, text is quoted so that "1" and 1 print differently.
String stringify_element(const Variant &p_value, std::vector<const void *> &r_stack, int p_depth) {
	switch (p_value.get_type()) {
		case Variant::STRING:
			return "\"" + c_escape(VariantAccess::payload<String>(p_value)) + "\"";
		case Variant::STRING_NAME:
			return "&\"" + c_escape(VariantAccess::payload<StringName>(p_value)._text()) + "\"";
		case Variant::NODE_PATH:
			return "^\"" + c_escape(VariantAccess::payload<NodePath>(p_value)._text()) + "\"";
		default:
			return stringify_value(p_value, r_stack, p_depth);
	}
}

template <typename P>
String stringify_packed(const P &p_array, std::vector<const void *> &r_stack, int p_depth) {
	String text = "[";
	for (int64_t i = 0; i < p_array.size(); i++) {
		if (i > 0) {
			text += ", ";
		}
		text += stringify_element(Variant(p_array.ptr()[i]), r_stack, p_depth + 1);
	}
	return text + "]";
}

bool on_stack(const std::vector<const void *> &p_stack, const void *p_identity) {
	for (const void *entry : p_stack) {
		if (entry == p_identity) {
			return true;
		}
	}
	return false;
}

String stringify_value(const Variant &p_value, std::vector<const void *> &r_stack, int p_depth) {
	switch (p_value.get_type()) {
		case Variant::NIL:
			return "<null>";
		case Variant::BOOL:
			return p_value.booleanize() ? "true" : "false";
		case Variant::INT:
			return itos(int64_t(p_value));
		case Variant::FLOAT:
			return String::num_real(double(p_value), true);
		case Variant::STRING:
			return VariantAccess::payload<String>(p_value);
		case Variant::STRING_NAME:
			return VariantAccess::payload<StringName>(p_value)._text();
		case Variant::NODE_PATH:
			return VariantAccess::payload<NodePath>(p_value)._text();
		case Variant::VECTOR2:
			return VariantAccess::payload<Vector2>(p_value);
		case Variant::VECTOR2I:
			return VariantAccess::payload<Vector2i>(p_value);
		case Variant::VECTOR3:
			return VariantAccess::payload<Vector3>(p_value);
		case Variant::VECTOR3I:
			return VariantAccess::payload<Vector3i>(p_value);
		case Variant::OBJECT: {
			if (!VariantAccess::object_pointer(p_value)) {
				return "<Object#null>";
			}
			Object *live = p_value.get_validated_object();
			if (!live) {
				return "<Freed Object>";
			}
			return engine_double::internal::object_text(live);
		}
		case Variant::CALLABLE:
			return engine_double::internal::callable_text(VariantAccess::payload<Callable>(p_value));
		case Variant::ARRAY: {
			const Array &array = VariantAccess::payload<Array>(p_value);
			if (p_depth > MAX_RECURSION || on_stack(r_stack, array._identity())) {
				return "[...]";
			}
			r_stack.push_back(array._identity());
			String text = "[";
			for (int64_t i = 0; i < array.size(); i++) {
				if (i > 0) {
					text += ", ";
				}
				text += stringify_element(array[i], r_stack, p_depth + 1);
			}
			r_stack.pop_back();
			return text + "]";
		}
		case Variant::DICTIONARY: {
			const Dictionary &dictionary = VariantAccess::payload<Dictionary>(p_value);
			if (p_depth > MAX_RECURSION || on_stack(r_stack, dictionary._identity())) {
				return "{...}";
			}
			r_stack.push_back(dictionary._identity());
			const Array keys = dictionary.keys();
			String text = "{ ";
			for (int64_t i = 0; i < keys.size(); i++) {
				if (i > 0) {
					text += ", ";
				}
				text += stringify_element(keys[i], r_stack, p_depth + 1) + ": " + stringify_element(dictionary.get(keys[i], Variant()), r_stack, p_depth + 1);
			}
			r_stack.pop_back();
			return text + " }";
		}
		case Variant::PACKED_BYTE_ARRAY:
			return stringify_packed(VariantAccess::packed<PackedByteArray>(p_value), r_stack, p_depth);
		case Variant::PACKED_INT32_ARRAY:
			return stringify_packed(VariantAccess::packed<PackedInt32Array>(p_value), r_stack, p_depth);
		case Variant::PACKED_INT64_ARRAY:
			return stringify_packed(VariantAccess::packed<PackedInt64Array>(p_value), r_stack, p_depth);
		case Variant::PACKED_FLOAT32_ARRAY:
			return stringify_packed(VariantAccess::packed<PackedFloat32Array>(p_value), r_stack, p_depth);
		case Variant::PACKED_FLOAT64_ARRAY:
			return stringify_packed(VariantAccess::packed<PackedFloat64Array>(p_value), r_stack, p_depth);
		case Variant::PACKED_STRING_ARRAY:
			return stringify_packed(VariantAccess::packed<PackedStringArray>(p_value), r_stack, p_depth);
		case Variant::PACKED_VECTOR2_ARRAY:
			return stringify_packed(VariantAccess::packed<PackedVector2Array>(p_value), r_stack, p_depth);
		case Variant::PACKED_VECTOR3_ARRAY:
			return stringify_packed(VariantAccess::packed<PackedVector3Array>(p_value), r_stack, p_depth);
		default:
			return "<" + Variant::get_type_name(p_value.get_type()) + ">";
	}
}

} // namespace

String Variant::stringify() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	std::vector<const void *> stack;
	return stringify_value(*this, stack, 0);
}

} // namespace godot
