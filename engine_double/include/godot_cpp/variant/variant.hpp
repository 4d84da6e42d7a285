#pragma once

#include <engine_double/internal/crossing.hpp>
#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/builtin_types.hpp>

#include <gdextension_interface.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace engine_double::internal {
struct PackedArrayRef;
} // namespace engine_double::internal

namespace godot {

class Object;

// A tagged union: small values inline, containers and text as shared handles.
class ENGINE_DOUBLE_API Variant {
public:
	enum Type {
		NIL,
		BOOL,
		INT,
		FLOAT,
		STRING,
		VECTOR2,
		VECTOR2I,
		RECT2,
		RECT2I,
		VECTOR3,
		VECTOR3I,
		TRANSFORM2D,
		VECTOR4,
		VECTOR4I,
		PLANE,
		QUATERNION,
		AABB,
		BASIS,
		TRANSFORM3D,
		PROJECTION,
		COLOR,
		STRING_NAME,
		NODE_PATH,
		RID,
		OBJECT,
		CALLABLE,
		SIGNAL,
		DICTIONARY,
		ARRAY,
		PACKED_BYTE_ARRAY,
		PACKED_INT32_ARRAY,
		PACKED_INT64_ARRAY,
		PACKED_FLOAT32_ARRAY,
		PACKED_FLOAT64_ARRAY,
		PACKED_STRING_ARRAY,
		PACKED_VECTOR2_ARRAY,
		PACKED_VECTOR3_ARRAY,
		PACKED_COLOR_ARRAY,
		PACKED_VECTOR4_ARRAY,
		VARIANT_MAX
	};

	enum Operator {
		OP_EQUAL,
		OP_NOT_EQUAL,
		OP_LESS,
		OP_LESS_EQUAL,
		OP_GREATER,
		OP_GREATER_EQUAL,
		OP_ADD,
		OP_SUBTRACT,
		OP_MULTIPLY,
		OP_DIVIDE,
		OP_NEGATE,
		OP_POSITIVE,
		OP_MODULE,
		OP_POWER,
		OP_SHIFT_LEFT,
		OP_SHIFT_RIGHT,
		OP_BIT_AND,
		OP_BIT_OR,
		OP_BIT_XOR,
		OP_BIT_NEGATE,
		OP_AND,
		OP_OR,
		OP_XOR,
		OP_NOT,
		OP_IN,
		OP_MAX
	};

private:
	struct ObjectSlot {
		Object *pointer;
		uint64_t id;
	};

	Type type = NIL;
	alignas(8) unsigned char _mem[16];

	template <typename T>
	T *_slot() { return std::launder(reinterpret_cast<T *>(_mem)); }
	template <typename T>
	const T *_slot() const { return std::launder(reinterpret_cast<const T *>(_mem)); }

	// Types whose payload is plain bytes: copied with memcpy, nothing to release.
	static bool _is_plain(Type p_type) {
		return p_type <= FLOAT || (p_type >= VECTOR2 && p_type <= VECTOR3I) || p_type == STRING_NAME;
	}
	// What a copy or a destruction costs in the engine: a StringName's bytes are plain here
	// but its reference is counted there.
	static engine_double::internal::Cost _copy_cost(Type p_type) {
		return _is_plain(p_type) && p_type != STRING_NAME ? engine_double::internal::Cost::VARIANT_PLAIN : engine_double::internal::Cost::VARIANT_REF;
	}
	// godot-cpp's clear() destroys only these before making the Variant nil again.
	static bool _needs_deinit(Type p_type) {
		return p_type == STRING || p_type == TRANSFORM2D || (p_type >= AABB && p_type <= PROJECTION) || (p_type >= STRING_NAME && p_type != RID);
	}

	void _copy_slow(const Variant &p_other);
	void _move_slow(Variant &p_other);
	void _destroy_slow();
	void _set_packed(Type p_type, engine_double::internal::PackedArrayRef *p_ref);

	int64_t _to_int_slow() const;
	double _to_float_slow() const;

	friend struct engine_double_variant_access;

public:
	// Crossings as in godot-cpp: every construction, copy and destruction is one call into
	// the engine; a move only swaps bytes.
	Variant() { engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_PLAIN); }
	Variant(std::nullptr_t) { engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_PLAIN); }
	Variant(const Variant &p_other) :
	        type(p_other.type) {
		if (_is_plain(type)) {
			engine_double::internal::count_crossing(_copy_cost(type));
			std::memcpy(_mem, p_other._mem, sizeof(_mem));
		} else {
			ENGINE_DOUBLE_COSTED(VARIANT_REF);
			_copy_slow(p_other);
		}
	}
	Variant(Variant &&p_other) noexcept :
	        type(p_other.type) {
		if (type != CALLABLE) {
			// Every other payload is a plain value or a pointer: relocating the bytes moves it.
			std::memcpy(_mem, p_other._mem, sizeof(_mem));
			p_other.type = NIL;
		} else {
			ENGINE_DOUBLE_CROSSINGS(0);
			_move_slow(p_other);
		}
	}
	~Variant() {
		if (_is_plain(type)) {
			engine_double::internal::count_crossing(_copy_cost(type));
		} else {
			ENGINE_DOUBLE_COSTED(VARIANT_REF);
			_destroy_slow();
		}
	}
	Variant &operator=(const Variant &p_other);
	Variant &operator=(Variant &&p_other) noexcept;

	Variant(bool p_value) :
	        type(BOOL) {
		engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_PLAIN);
		_mem[0] = p_value;
	}
	Variant(int64_t p_value) :
	        type(INT) {
		engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_PLAIN);
		std::memcpy(_mem, &p_value, sizeof(p_value));
	}
	Variant(int32_t p_value) :
	        Variant(int64_t(p_value)) {}
	Variant(int16_t p_value) :
	        Variant(int64_t(p_value)) {}
	Variant(int8_t p_value) :
	        Variant(int64_t(p_value)) {}
	Variant(uint64_t p_value) :
	        Variant(int64_t(p_value)) {}
	Variant(uint32_t p_value) :
	        Variant(int64_t(p_value)) {}
	Variant(uint16_t p_value) :
	        Variant(int64_t(p_value)) {}
	Variant(uint8_t p_value) :
	        Variant(int64_t(p_value)) {}
	Variant(double p_value) :
	        type(FLOAT) {
		engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_PLAIN);
		std::memcpy(_mem, &p_value, sizeof(p_value));
	}
	Variant(float p_value) :
	        Variant(double(p_value)) {}
	Variant(const String &p_value) :
	        type(STRING) {
		ENGINE_DOUBLE_COSTED(VARIANT_REF);
		new (_mem) String(p_value);
	}
	Variant(const char *p_value);
	Variant(const char16_t *p_value);
	Variant(const char32_t *p_value);
	Variant(const wchar_t *p_value);
	Variant(const StringName &p_value) :
	        type(STRING_NAME) {
		ENGINE_DOUBLE_COSTED(VARIANT_REF);
		new (_mem) StringName(p_value);
	}
	Variant(const NodePath &p_value);
	Variant(const Vector2 &p_value) :
	        type(VECTOR2) {
		engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_PLAIN);
		new (_mem) Vector2(p_value);
	}
	Variant(const Vector2i &p_value) :
	        type(VECTOR2I) {
		engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_PLAIN);
		new (_mem) Vector2i(p_value);
	}
	Variant(const Vector3 &p_value) :
	        type(VECTOR3) {
		engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_PLAIN);
		new (_mem) Vector3(p_value);
	}
	Variant(const Vector3i &p_value) :
	        type(VECTOR3I) {
		engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_PLAIN);
		new (_mem) Vector3i(p_value);
	}
	// Null gives an OBJECT-typed Variant, not NIL.
	Variant(const Object *p_object);
	Variant(const Callable &p_value);
	Variant(const Dictionary &p_value);
	Variant(const Array &p_value);
	Variant(const PackedByteArray &p_value);
	Variant(const PackedInt32Array &p_value);
	Variant(const PackedInt64Array &p_value);
	Variant(const PackedFloat32Array &p_value);
	Variant(const PackedFloat64Array &p_value);
	Variant(const PackedStringArray &p_value);
	Variant(const PackedVector2Array &p_value);
	Variant(const PackedVector3Array &p_value);

	Type get_type() const {
		engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_TYPE);
		return type;
	}

	// Conversions run the engine's rules: nothing ever fails, an unconvertible value gives
	// the target's default.
	operator bool() const { return booleanize(); }
	operator int64_t() const {
		if (type == INT) {
			engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_TO_PLAIN);
			return *_slot<int64_t>();
		}
		ENGINE_DOUBLE_CROSSING;
		return _to_int_slow();
	}
	operator int32_t() const { return int32_t(uint32_t(uint64_t(operator int64_t()))); }
	operator int16_t() const { return int16_t(uint16_t(uint64_t(operator int64_t()))); }
	operator int8_t() const { return int8_t(uint8_t(uint64_t(operator int64_t()))); }
	operator uint64_t() const { return uint64_t(operator int64_t()); }
	operator uint32_t() const { return uint32_t(uint64_t(operator int64_t())); }
	operator uint16_t() const { return uint16_t(uint64_t(operator int64_t())); }
	operator uint8_t() const { return uint8_t(uint64_t(operator int64_t())); }
	operator double() const {
		if (type == FLOAT) {
			engine_double::internal::count_crossing(engine_double::internal::Cost::VARIANT_TO_PLAIN);
			return *_slot<double>();
		}
		ENGINE_DOUBLE_CROSSING;
		return _to_float_slow();
	}
	operator float() const { return float(operator double()); }
	operator String() const;
	operator StringName() const;
	operator NodePath() const;
	operator Vector2() const;
	operator Vector2i() const;
	operator Vector3() const;
	operator Vector3i() const;
	operator Object *() const;
	operator Callable() const;
	operator Dictionary() const;
	operator Array() const;
	operator PackedByteArray() const;
	operator PackedInt32Array() const;
	operator PackedInt64Array() const;
	operator PackedFloat32Array() const;
	operator PackedFloat64Array() const;
	operator PackedStringArray() const;
	operator PackedVector2Array() const;
	operator PackedVector3Array() const;

	// The live object, or nullptr when it is null or was freed.
	Object *get_validated_object() const;

	bool booleanize() const;
	String stringify() const;
	uint32_t hash() const;
	uint32_t recursive_hash(int p_recursion_count) const;
	// Strict equality (types must match): the engine's C++ operator== used inside containers.
	bool hash_compare(const Variant &p_other, int p_recursion_count = 0, bool p_semantic_comparison = true) const;
	// hash_compare plus String == StringName of the same text: key and element comparison.
	bool string_like_compare(const Variant &p_other) const;
	// Object identity, container identity, value equality otherwise (is_same).
	bool identity_compare(const Variant &p_other) const;

	// godot-cpp's operators: false at once across types, the engine's OP_EQUAL otherwise.
	bool operator==(const Variant &p_other) const;
	bool operator!=(const Variant &p_other) const;
	bool operator<(const Variant &p_other) const;

	static void evaluate(const Operator &p_op, const Variant &p_a, const Variant &p_b, Variant &r_ret, bool &r_valid);

	void set(const Variant &p_key, const Variant &p_value, bool *r_valid = nullptr);
	Variant get(const Variant &p_key, bool *r_valid = nullptr) const;
	void set_keyed(const Variant &p_key, const Variant &p_value, bool &r_valid);
	Variant get_keyed(const Variant &p_key, bool &r_valid) const;
	void set_indexed(int64_t p_index, const Variant &p_value, bool &r_valid, bool &r_oob);
	Variant get_indexed(int64_t p_index, bool &r_valid, bool &r_oob) const;
	bool in(const Variant &p_index, bool *r_valid = nullptr) const;
	bool has_key(const Variant &p_key, bool *r_valid = nullptr) const;

	// One call into the engine with the caller's own argument Variants (none is copied).
	// On an object: its method, as Object::call reaches it (a freed object answers
	// INSTANCE_IS_NULL, as a debug engine does). The builtin types' methods are not modelled
	// here: they answer INVALID_METHOD.
	void callp(const StringName &p_method, const Variant **p_args, int p_argcount, Variant &r_ret, GDExtensionCallError &r_error);

	Variant duplicate(bool p_deep = false) const;
	void clear();

	static String get_type_name(Variant::Type p_type);
	static Variant::Type get_type_by_name(const String &p_type_name);
	static bool can_convert(Variant::Type p_from, Variant::Type p_to);
	static bool can_convert_strict(Variant::Type p_from, Variant::Type p_to);

	// The double's view of the payload, for its own containers and serializers.
	const void *_identity() const;
	uint64_t _object_id() const;
};

struct ENGINE_DOUBLE_API VariantHasher {
	static uint32_t hash(const Variant &p_variant) { return p_variant.hash(); }
};

struct ENGINE_DOUBLE_API VariantComparator {
	static bool compare(const Variant &p_lhs, const Variant &p_rhs) { return p_lhs.hash_compare(p_rhs); }
};

template <typename... Args>
Variant Callable::call(const Args &...p_args) const {
	const Variant arguments[sizeof...(Args) + 1] = { Variant(p_args)..., Variant() };
	const Variant *pointers[sizeof...(Args) + 1];
	// Not "<": with no arguments GCC 10 warns that "i < 0" is always false.
	for (size_t i = 0; i != sizeof...(Args); i++) {
		pointers[i] = &arguments[i];
	}
	return callp(pointers, int(sizeof...(Args)));
}

template <typename... Args>
void Callable::call_deferred(const Args &...p_args) const {
	const Variant arguments[sizeof...(Args) + 1] = { Variant(p_args)..., Variant() };
	const Variant *pointers[sizeof...(Args) + 1];
	// Not "<": with no arguments GCC 10 warns that "i < 0" is always false.
	for (size_t i = 0; i != sizeof...(Args); i++) {
		pointers[i] = &arguments[i];
	}
	_call_deferredp(pointers, int(sizeof...(Args)));
}

template <typename... Args>
Callable Callable::bind(const Args &...p_args) const {
	const Variant arguments[sizeof...(Args) + 1] = { Variant(p_args)..., Variant() };
	const Variant *pointers[sizeof...(Args) + 1];
	// Not "<": with no arguments GCC 10 warns that "i < 0" is always false.
	for (size_t i = 0; i != sizeof...(Args); i++) {
		pointers[i] = &arguments[i];
	}
	return bindp(pointers, int(sizeof...(Args)));
}

template <typename... Args>
Array Array::make(Args... p_args) {
	Array result;
	(result.push_back(Variant(p_args)), ...);
	return result;
}

template <typename... Args>
String vformat(const String &p_text, const Args &...p_args) {
	return p_text % Variant(Array::make(p_args...));
}

} // namespace godot
