// Variant::evaluate: the engine's operator table for the types the double stores. A pair
// without an evaluator gives r_valid = false and nil, as in the engine.

#include "variant_access.hpp"
#include <engine_double/internal/crossing.hpp>

#include <cmath>

namespace godot {

namespace {

bool is_number(Variant::Type p_type) {
	return p_type == Variant::INT || p_type == Variant::FLOAT;
}

bool is_text(Variant::Type p_type) {
	return p_type == Variant::STRING || p_type == Variant::STRING_NAME;
}

const String &text_of(const Variant &p_value) {
	if (p_value.get_type() == Variant::STRING) {
		return VariantAccess::payload<String>(p_value);
	}
	return VariantAccess::payload<StringName>(p_value)._text();
}

// Two's-complement arithmetic, as the engine's int operators behave in practice.
int64_t wrap_add(int64_t p_a, int64_t p_b) {
	return int64_t(uint64_t(p_a) + uint64_t(p_b));
}

int64_t wrap_subtract(int64_t p_a, int64_t p_b) {
	return int64_t(uint64_t(p_a) - uint64_t(p_b));
}

int64_t wrap_multiply(int64_t p_a, int64_t p_b) {
	return int64_t(uint64_t(p_a) * uint64_t(p_b));
}

bool evaluate_equal(const Variant &p_a, const Variant &p_b, bool &r_valid) {
	const Variant::Type a = p_a.get_type();
	const Variant::Type b = p_b.get_type();
	r_valid = true;
	if (a == Variant::NIL || b == Variant::NIL) {
		if (a == b) {
			return true;
		}
		// Object against nil: true for a null or freed object.
		const Variant &other = a == Variant::NIL ? p_b : p_a;
		if (other.get_type() == Variant::OBJECT) {
			return other.get_validated_object() == nullptr;
		}
		return false;
	}
	if (is_number(a) && is_number(b)) {
		if (a == Variant::INT && b == Variant::INT) {
			return int64_t(p_a) == int64_t(p_b);
		}
		return double(p_a) == double(p_b);
	}
	if (is_text(a) && is_text(b)) {
		return text_of(p_a) == text_of(p_b);
	}
	if (a != b) {
		r_valid = false;
		return false;
	}
	if (a == Variant::ARRAY) {
		return VariantAccess::payload<Array>(p_a).recursive_equal(VariantAccess::payload<Array>(p_b), 0);
	}
	if (a == Variant::DICTIONARY) {
		return VariantAccess::payload<Dictionary>(p_a).recursive_equal(VariantAccess::payload<Dictionary>(p_b), 0);
	}
	// Everything else compares like the strict equality, except that NaN is not NaN.
	return p_a.hash_compare(p_b, 0, false);
}

template <typename T>
bool lexicographic_less(const T &p_a, const T &p_b) {
	return p_a < p_b;
}

bool evaluate_less(const Variant &p_a, const Variant &p_b, bool &r_valid) {
	const Variant::Type a = p_a.get_type();
	const Variant::Type b = p_b.get_type();
	r_valid = true;
	if (is_number(a) && is_number(b)) {
		if (a == Variant::INT && b == Variant::INT) {
			return int64_t(p_a) < int64_t(p_b);
		}
		return double(p_a) < double(p_b);
	}
	if (a != b) {
		r_valid = false;
		return false;
	}
	switch (a) {
		case Variant::BOOL:
			return !p_a.booleanize() && p_b.booleanize();
		case Variant::STRING:
			return VariantAccess::payload<String>(p_a) < VariantAccess::payload<String>(p_b);
		case Variant::STRING_NAME:
			// By interned pointer, as the engine does: consistent, not alphabetical.
			return VariantAccess::payload<StringName>(p_a) < VariantAccess::payload<StringName>(p_b);
		case Variant::VECTOR2:
			return lexicographic_less(VariantAccess::payload<Vector2>(p_a), VariantAccess::payload<Vector2>(p_b));
		case Variant::VECTOR2I:
			return lexicographic_less(VariantAccess::payload<Vector2i>(p_a), VariantAccess::payload<Vector2i>(p_b));
		case Variant::VECTOR3:
			return lexicographic_less(VariantAccess::payload<Vector3>(p_a), VariantAccess::payload<Vector3>(p_b));
		case Variant::VECTOR3I:
			return lexicographic_less(VariantAccess::payload<Vector3i>(p_a), VariantAccess::payload<Vector3i>(p_b));
		case Variant::ARRAY:
			return VariantAccess::payload<Array>(p_a) < VariantAccess::payload<Array>(p_b);
		default:
			r_valid = false;
			return false;
	}
}

// a <= b as the engine's own <= operators answer it: directly for numbers (so a NaN is never
// less or equal), component by component for the float vectors; no evaluator for bool.
template <typename V>
bool float_vector_less_equal(const V &p_a, const V &p_b, int p_size) {
	for (int i = 0; i < p_size - 1; i++) {
		if (p_a[i] != p_b[i]) {
			return p_a[i] < p_b[i];
		}
	}
	return p_a[p_size - 1] <= p_b[p_size - 1];
}

bool evaluate_less_equal(const Variant &p_a, const Variant &p_b, bool &r_valid) {
	const Variant::Type a = p_a.get_type();
	const Variant::Type b = p_b.get_type();
	if (is_number(a) && is_number(b)) {
		r_valid = true;
		if (a == Variant::INT && b == Variant::INT) {
			return int64_t(p_a) <= int64_t(p_b);
		}
		return double(p_a) <= double(p_b);
	}
	if (a == b && a == Variant::VECTOR2) {
		r_valid = true;
		return float_vector_less_equal(VariantAccess::payload<Vector2>(p_a), VariantAccess::payload<Vector2>(p_b), 2);
	}
	if (a == b && a == Variant::VECTOR3) {
		r_valid = true;
		return float_vector_less_equal(VariantAccess::payload<Vector3>(p_a), VariantAccess::payload<Vector3>(p_b), 3);
	}
	if (a == Variant::BOOL) {
		r_valid = false;
		return false;
	}
	// Everything else with a < is totally ordered here: b < a answers it.
	const bool greater = evaluate_less(p_b, p_a, r_valid);
	return r_valid && !greater;
}

// The types the engine's and/or/xor evaluators are registered for.
bool has_logic_operators(Variant::Type p_type) {
	return p_type == Variant::NIL || p_type == Variant::BOOL || p_type == Variant::INT || p_type == Variant::FLOAT || p_type == Variant::OBJECT;
}

void evaluate_arithmetic(Variant::Operator p_op, const Variant &p_a, const Variant &p_b, Variant &r_ret, bool &r_valid) {
	const Variant::Type a = p_a.get_type();
	const Variant::Type b = p_b.get_type();
	r_valid = true;
	if (a == Variant::INT && b == Variant::INT) {
		const int64_t x = p_a;
		const int64_t y = p_b;
		switch (p_op) {
			case Variant::OP_ADD:
				r_ret = wrap_add(x, y);
				return;
			case Variant::OP_SUBTRACT:
				r_ret = wrap_subtract(x, y);
				return;
			case Variant::OP_MULTIPLY:
				r_ret = wrap_multiply(x, y);
				return;
			case Variant::OP_DIVIDE:
				if (y == 0) {
					r_valid = false;
					r_ret = String("Division by zero error");
					return;
				}
				r_ret = (x == INT64_MIN && y == -1) ? INT64_MIN : x / y;
				return;
			case Variant::OP_MODULE:
				if (y == 0) {
					r_valid = false;
					r_ret = String("Modulo by zero error");
					return;
				}
				r_ret = (y == -1) ? int64_t(0) : x % y;
				return;
			case Variant::OP_POWER:
				r_ret = int64_t(std::pow(double(x), double(y)));
				return;
			default:
				break;
		}
	} else if (is_number(a) && is_number(b)) {
		const double x = p_a;
		const double y = p_b;
		switch (p_op) {
			case Variant::OP_ADD:
				r_ret = x + y;
				return;
			case Variant::OP_SUBTRACT:
				r_ret = x - y;
				return;
			case Variant::OP_MULTIPLY:
				r_ret = x * y;
				return;
			case Variant::OP_DIVIDE:
				r_ret = x / y;
				return;
			case Variant::OP_MODULE:
				// No float modulo: scripts call fmod.
				break;
			case Variant::OP_POWER:
				r_ret = std::pow(x, y);
				return;
			default:
				break;
		}
	} else if (p_op == Variant::OP_ADD && is_text(a) && is_text(b)) {
		r_ret = text_of(p_a) + text_of(p_b);
		return;
	} else if (p_op == Variant::OP_MODULE && a == Variant::STRING) {
		r_ret = VariantAccess::payload<String>(p_a) % p_b;
		return;
	} else if (a == Variant::VECTOR3I && (b == Variant::VECTOR3I || b == Variant::INT)) {
		const Vector3i x = p_a;
		const Vector3i y = b == Variant::INT ? Vector3i(int32_t(int64_t(p_b)), int32_t(int64_t(p_b)), int32_t(int64_t(p_b))) : Vector3i(p_b);
		switch (p_op) {
			case Variant::OP_ADD:
				if (b == Variant::VECTOR3I) {
					r_ret = x + y;
					return;
				}
				break;
			case Variant::OP_SUBTRACT:
				if (b == Variant::VECTOR3I) {
					r_ret = x - y;
					return;
				}
				break;
			case Variant::OP_MULTIPLY:
				r_ret = x * y;
				return;
			case Variant::OP_DIVIDE:
			case Variant::OP_MODULE:
				if (y.x == 0 || y.y == 0 || y.z == 0) {
					r_valid = false;
					r_ret = String(p_op == Variant::OP_DIVIDE ? "Division by zero error" : "Modulo by zero error");
					return;
				}
				r_ret = p_op == Variant::OP_DIVIDE ? x / y : x % y;
				return;
			default:
				break;
		}
	} else if (p_op == Variant::OP_MULTIPLY && a == Variant::INT && b == Variant::VECTOR3I) {
		const int32_t factor = int32_t(int64_t(p_a));
		r_ret = Vector3i(p_b) * Vector3i(factor, factor, factor);
		return;
	} else if (p_op == Variant::OP_ADD && a == Variant::ARRAY && b == Variant::ARRAY) {
		r_ret = VariantAccess::payload<Array>(p_a) + VariantAccess::payload<Array>(p_b);
		return;
	}
	r_valid = false;
	r_ret = Variant();
}

bool evaluate_in(const Variant &p_item, const Variant &p_container, bool &r_valid) {
	r_valid = true;
	switch (p_container.get_type()) {
		case Variant::ARRAY:
			return VariantAccess::payload<Array>(p_container).has(p_item);
		case Variant::DICTIONARY:
			return VariantAccess::payload<Dictionary>(p_container).has(p_item);
		case Variant::STRING:
		case Variant::STRING_NAME:
			if (is_text(p_item.get_type())) {
				return text_of(p_container).contains(text_of(p_item));
			}
			break;
		case Variant::PACKED_INT64_ARRAY:
			if (p_item.get_type() == Variant::INT) {
				return PackedInt64Array(p_container).has(int64_t(p_item));
			}
			break;
		case Variant::PACKED_STRING_ARRAY:
			if (p_item.get_type() == Variant::STRING) {
				return PackedStringArray(p_container).has(String(p_item));
			}
			break;
		default:
			break;
	}
	r_valid = false;
	return false;
}

} // namespace

void Variant::evaluate(const Operator &p_op, const Variant &p_a, const Variant &p_b, Variant &r_ret, bool &r_valid) {
	ENGINE_DOUBLE_CROSSING;
	switch (p_op) {
		case OP_EQUAL:
		case OP_NOT_EQUAL: {
			const bool equal = evaluate_equal(p_a, p_b, r_valid);
			r_ret = r_valid ? Variant(p_op == OP_EQUAL ? equal : !equal) : Variant();
		} break;
		case OP_LESS:
		case OP_GREATER: {
			const bool less = p_op == OP_LESS ? evaluate_less(p_a, p_b, r_valid) : evaluate_less(p_b, p_a, r_valid);
			r_ret = r_valid ? Variant(less) : Variant();
		} break;
		case OP_LESS_EQUAL:
		case OP_GREATER_EQUAL: {
			const bool less_equal = p_op == OP_LESS_EQUAL ? evaluate_less_equal(p_a, p_b, r_valid) : evaluate_less_equal(p_b, p_a, r_valid);
			r_ret = r_valid ? Variant(less_equal) : Variant();
		} break;
		case OP_ADD:
		case OP_SUBTRACT:
		case OP_MULTIPLY:
		case OP_DIVIDE:
		case OP_MODULE:
		case OP_POWER:
			evaluate_arithmetic(p_op, p_a, p_b, r_ret, r_valid);
			break;
		case OP_NEGATE:
			r_valid = true;
			if (p_a.get_type() == INT) {
				r_ret = wrap_subtract(0, int64_t(p_a));
			} else if (p_a.get_type() == FLOAT) {
				r_ret = -double(p_a);
			} else if (p_a.get_type() == VECTOR3I) {
				r_ret = -Vector3i(p_a);
			} else if (p_a.get_type() == VECTOR3) {
				r_ret = -Vector3(p_a);
			} else if (p_a.get_type() == VECTOR2) {
				r_ret = -Vector2(p_a);
			} else if (p_a.get_type() == VECTOR2I) {
				const Vector2i v = p_a;
				r_ret = Vector2i(int32_t(0u - uint32_t(v.x)), int32_t(0u - uint32_t(v.y)));
			} else {
				r_valid = false;
				r_ret = Variant();
			}
			break;
		case OP_POSITIVE:
			r_valid = is_number(p_a.get_type()) || (p_a.get_type() >= VECTOR2 && p_a.get_type() <= VECTOR3I && p_a.get_type() != RECT2 && p_a.get_type() != RECT2I);
			r_ret = r_valid ? p_a : Variant();
			break;
		case OP_NOT:
			r_valid = true;
			r_ret = !p_a.booleanize();
			break;
		case OP_AND:
		case OP_OR:
		case OP_XOR: {
			r_valid = has_logic_operators(p_a.get_type()) && has_logic_operators(p_b.get_type());
			const bool a = p_a.booleanize();
			const bool b = p_b.booleanize();
			const bool result = p_op == OP_AND ? (a && b) : (p_op == OP_OR ? (a || b) : (a != b));
			r_ret = r_valid ? Variant(result) : Variant();
		} break;
		case OP_IN: {
			const bool found = evaluate_in(p_a, p_b, r_valid);
			r_ret = r_valid ? Variant(found) : Variant();
		} break;
		case OP_SHIFT_LEFT:
		case OP_SHIFT_RIGHT:
		case OP_BIT_AND:
		case OP_BIT_OR:
		case OP_BIT_XOR:
			if (p_a.get_type() == INT && p_b.get_type() == INT) {
				const int64_t x = p_a;
				const int64_t y = p_b;
				r_valid = true;
				if (p_op == OP_BIT_AND) {
					r_ret = x & y;
				} else if (p_op == OP_BIT_OR) {
					r_ret = x | y;
				} else if (p_op == OP_BIT_XOR) {
					r_ret = x ^ y;
				} else if (x < 0 || y < 0) {
					// A debug engine refuses negative operands; a release one shifts anyway.
					r_valid = false;
					r_ret = String("Invalid operands for bit shifting. Only positive operands are supported.");
				} else if (y > 63) {
					// Undefined in the engine's C++: no answer is modelled.
					r_valid = false;
					r_ret = Variant();
				} else {
					r_ret = p_op == OP_SHIFT_LEFT ? int64_t(uint64_t(x) << y) : (x >> y);
				}
			} else {
				r_valid = false;
				r_ret = Variant();
			}
			break;
		case OP_BIT_NEGATE:
			r_valid = p_a.get_type() == INT;
			r_ret = r_valid ? Variant(~int64_t(p_a)) : Variant();
			break;
		default:
			r_valid = false;
			r_ret = Variant();
			break;
	}
}

} // namespace godot
