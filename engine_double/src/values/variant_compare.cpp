// Hashing and the three equalities: strict (hash_compare), string-like (container keys
// and elements) and identity (is_same); plus godot-cpp's own operators.

#include "hashing.hpp"
#include "variant_access.hpp"
#include <engine_double/internal/crossing.hpp>

#include <engine_double/internal/object_seam.hpp>
#include <godot_cpp/core/error_macros.hpp>

namespace godot {

using namespace engine_double::internal;

namespace {

const int MAX_RECURSION = 100;

template <typename P>
uint32_t hash_packed_integers(const P &p_array) {
	uint32_t hash = HASH_SEED;
	for (int64_t i = 0; i < p_array.size(); i++) {
		hash = hash_mix_32(uint32_t(uint64_t(p_array.ptr()[i])), hash);
		hash = hash_mix_32(uint32_t(uint64_t(int64_t(p_array.ptr()[i])) >> 32), hash);
	}
	return hash_finish_32(hash);
}

template <typename P>
uint32_t hash_packed_floats(const P &p_array) {
	uint32_t hash = HASH_SEED;
	for (int64_t i = 0; i < p_array.size(); i++) {
		hash = hash_double(p_array.ptr()[i], hash);
	}
	return hash_finish_32(hash);
}

template <typename P, typename Equal>
bool packed_equal(const P &p_a, const P &p_b, Equal p_equal) {
	if (p_a.size() != p_b.size()) {
		return false;
	}
	for (int64_t i = 0; i < p_a.size(); i++) {
		if (!p_equal(p_a.ptr()[i], p_b.ptr()[i])) {
			return false;
		}
	}
	return true;
}

bool vector2_equal(const Vector2 &p_a, const Vector2 &p_b, bool p_semantic) {
	return same_float(p_a.x, p_b.x, p_semantic) && same_float(p_a.y, p_b.y, p_semantic);
}

bool vector3_equal(const Vector3 &p_a, const Vector3 &p_b, bool p_semantic) {
	return same_float(p_a.x, p_b.x, p_semantic) && same_float(p_a.y, p_b.y, p_semantic) && same_float(p_a.z, p_b.z, p_semantic);
}

} // namespace

uint32_t Variant::hash() const {
	ENGINE_DOUBLE_CROSSING;
	return recursive_hash(0);
}

uint32_t Variant::recursive_hash(int p_recursion_count) const {
	ENGINE_DOUBLE_CROSSING;
	switch (type) {
		case NIL:
			return 0;
		case BOOL:
			return _mem[0] ? 1 : 0;
		case INT:
			return hash_uint64(uint64_t(*_slot<int64_t>()));
		case FLOAT:
			return hash_finish_32(hash_double(*_slot<double>()));
		case STRING:
			return uint32_t(_slot<String>()->hash());
		case STRING_NAME:
			return _slot<StringName>()->_hash32();
		case NODE_PATH:
			return uint32_t(_slot<NodePath>()->hash());
		case VECTOR2: {
			const Vector2 &v = *_slot<Vector2>();
			return hash_finish_32(hash_double(v.y, hash_double(v.x)));
		}
		case VECTOR2I: {
			const Vector2i &v = *_slot<Vector2i>();
			return hash_finish_32(hash_mix_32(uint32_t(v.y), hash_mix_32(uint32_t(v.x))));
		}
		case VECTOR3: {
			const Vector3 &v = *_slot<Vector3>();
			return hash_finish_32(hash_double(v.z, hash_double(v.y, hash_double(v.x))));
		}
		case VECTOR3I: {
			const Vector3i &v = *_slot<Vector3i>();
			return hash_finish_32(hash_mix_32(uint32_t(v.z), hash_mix_32(uint32_t(v.y), hash_mix_32(uint32_t(v.x)))));
		}
		case OBJECT:
			return hash_uint64(_slot<ObjectSlot>()->id);
		case CALLABLE:
			return uint32_t(uint64_t(_slot<Callable>()->hash()));
		case DICTIONARY:
		case ARRAY: {
			if (p_recursion_count > MAX_RECURSION) {
				ERR_PRINT("Max recursion reached");
				return 0;
			}
			if (type == ARRAY) {
				const Array &array = *_slot<Array>();
				uint32_t hash = hash_mix_32(ARRAY);
				for (int64_t i = 0; i < array.size(); i++) {
					hash = hash_mix_32(array[i].recursive_hash(p_recursion_count + 1), hash);
				}
				return hash_finish_32(hash);
			}
			const Dictionary &dictionary = *_slot<Dictionary>();
			const Array keys = dictionary.keys();
			uint32_t hash = hash_mix_32(DICTIONARY);
			for (int64_t i = 0; i < keys.size(); i++) {
				hash = hash_mix_32(keys[i].recursive_hash(p_recursion_count + 1), hash);
				hash = hash_mix_32(dictionary[keys[i]].recursive_hash(p_recursion_count + 1), hash);
			}
			return hash_finish_32(hash);
		}
		case PACKED_BYTE_ARRAY:
			return hash_packed_integers(VariantAccess::packed<PackedByteArray>(*this));
		case PACKED_INT32_ARRAY:
			return hash_packed_integers(VariantAccess::packed<PackedInt32Array>(*this));
		case PACKED_INT64_ARRAY:
			return hash_packed_integers(VariantAccess::packed<PackedInt64Array>(*this));
		case PACKED_FLOAT32_ARRAY:
			return hash_packed_floats(VariantAccess::packed<PackedFloat32Array>(*this));
		case PACKED_FLOAT64_ARRAY:
			return hash_packed_floats(VariantAccess::packed<PackedFloat64Array>(*this));
		case PACKED_STRING_ARRAY: {
			const PackedStringArray &strings = VariantAccess::packed<PackedStringArray>(*this);
			uint32_t hash = HASH_SEED;
			for (int64_t i = 0; i < strings.size(); i++) {
				hash = hash_mix_32(uint32_t(strings.ptr()[i].hash()), hash);
			}
			return hash_finish_32(hash);
		}
		case PACKED_VECTOR2_ARRAY: {
			const PackedVector2Array &vectors = VariantAccess::packed<PackedVector2Array>(*this);
			uint32_t hash = HASH_SEED;
			for (int64_t i = 0; i < vectors.size(); i++) {
				hash = hash_double(vectors.ptr()[i].y, hash_double(vectors.ptr()[i].x, hash));
			}
			return hash_finish_32(hash);
		}
		case PACKED_VECTOR3_ARRAY: {
			const PackedVector3Array &vectors = VariantAccess::packed<PackedVector3Array>(*this);
			uint32_t hash = HASH_SEED;
			for (int64_t i = 0; i < vectors.size(); i++) {
				const Vector3 &v = vectors.ptr()[i];
				hash = hash_double(v.z, hash_double(v.y, hash_double(v.x, hash)));
			}
			return hash_finish_32(hash);
		}
		default:
			return 0;
	}
}

bool Variant::hash_compare(const Variant &p_other, int p_recursion_count, bool p_semantic_comparison) const {
	ENGINE_DOUBLE_CROSSING;
	if (type != p_other.type) {
		return false;
	}
	switch (type) {
		case NIL:
			return true;
		case BOOL:
			return _mem[0] == p_other._mem[0];
		case INT:
			return *_slot<int64_t>() == *p_other._slot<int64_t>();
		case FLOAT:
			return same_float(*_slot<double>(), *p_other._slot<double>(), p_semantic_comparison);
		case STRING:
			return *_slot<String>() == *p_other._slot<String>();
		case STRING_NAME:
			return *_slot<StringName>() == *p_other._slot<StringName>();
		case NODE_PATH:
			return *_slot<NodePath>() == *p_other._slot<NodePath>();
		case VECTOR2:
			return vector2_equal(*_slot<Vector2>(), *p_other._slot<Vector2>(), p_semantic_comparison);
		case VECTOR2I:
			return *_slot<Vector2i>() == *p_other._slot<Vector2i>();
		case VECTOR3:
			return vector3_equal(*_slot<Vector3>(), *p_other._slot<Vector3>(), p_semantic_comparison);
		case VECTOR3I:
			return *_slot<Vector3i>() == *p_other._slot<Vector3i>();
		case OBJECT:
			// The engine's object equality: the same live object, or both null or freed.
			return get_validated_object() == p_other.get_validated_object();
		case CALLABLE:
			return *_slot<Callable>() == *p_other._slot<Callable>();
		case ARRAY:
			return _slot<Array>()->recursive_equal(*p_other._slot<Array>(), p_recursion_count + 1);
		case DICTIONARY:
			return _slot<Dictionary>()->recursive_equal(*p_other._slot<Dictionary>(), p_recursion_count + 1);
		case PACKED_BYTE_ARRAY:
			return VariantAccess::packed<PackedByteArray>(*this) == VariantAccess::packed<PackedByteArray>(p_other);
		case PACKED_INT32_ARRAY:
			return VariantAccess::packed<PackedInt32Array>(*this) == VariantAccess::packed<PackedInt32Array>(p_other);
		case PACKED_INT64_ARRAY:
			return VariantAccess::packed<PackedInt64Array>(*this) == VariantAccess::packed<PackedInt64Array>(p_other);
		case PACKED_STRING_ARRAY:
			return VariantAccess::packed<PackedStringArray>(*this) == VariantAccess::packed<PackedStringArray>(p_other);
		case PACKED_FLOAT32_ARRAY:
			return packed_equal(VariantAccess::packed<PackedFloat32Array>(*this), VariantAccess::packed<PackedFloat32Array>(p_other),
			        [p_semantic_comparison](float p_a, float p_b) { return same_float(p_a, p_b, p_semantic_comparison); });
		case PACKED_FLOAT64_ARRAY:
			return packed_equal(VariantAccess::packed<PackedFloat64Array>(*this), VariantAccess::packed<PackedFloat64Array>(p_other),
			        [p_semantic_comparison](double p_a, double p_b) { return same_float(p_a, p_b, p_semantic_comparison); });
		case PACKED_VECTOR2_ARRAY:
			return packed_equal(VariantAccess::packed<PackedVector2Array>(*this), VariantAccess::packed<PackedVector2Array>(p_other),
			        [p_semantic_comparison](const Vector2 &p_a, const Vector2 &p_b) { return vector2_equal(p_a, p_b, p_semantic_comparison); });
		case PACKED_VECTOR3_ARRAY:
			return packed_equal(VariantAccess::packed<PackedVector3Array>(*this), VariantAccess::packed<PackedVector3Array>(p_other),
			        [p_semantic_comparison](const Vector3 &p_a, const Vector3 &p_b) { return vector3_equal(p_a, p_b, p_semantic_comparison); });
		default:
			return false;
	}
}

bool Variant::string_like_compare(const Variant &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	if (type == p_other.type) {
		return hash_compare(p_other);
	}
	if (type == STRING && p_other.type == STRING_NAME) {
		return p_other._slot<StringName>()->_text() == *_slot<String>();
	}
	if (type == STRING_NAME && p_other.type == STRING) {
		return _slot<StringName>()->_text() == *p_other._slot<String>();
	}
	return false;
}

bool Variant::identity_compare(const Variant &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	if (type != p_other.type) {
		return false;
	}
	switch (type) {
		case OBJECT:
			return _slot<ObjectSlot>()->id == p_other._slot<ObjectSlot>()->id;
		case ARRAY:
		case DICTIONARY:
			return _identity() == p_other._identity();
		default:
			if (type >= PACKED_BYTE_ARRAY && type <= PACKED_VECTOR4_ARRAY) {
				return _identity() == p_other._identity();
			}
			return hash_compare(p_other);
	}
}

bool Variant::operator==(const Variant &p_other) const {
	// godot-cpp's own code: both get_type() calls cross, then the evaluation below.
	engine_double::internal::count_crossings(2);
	if (type != p_other.type) {
		return false;
	}
	bool valid = false;
	Variant result;
	evaluate(OP_EQUAL, *this, p_other, result, valid);
	return result.booleanize();
}

bool Variant::operator!=(const Variant &p_other) const {
	// godot-cpp's own code: both get_type() calls cross, then the evaluation below.
	engine_double::internal::count_crossings(2);
	if (type != p_other.type) {
		return true;
	}
	bool valid = false;
	Variant result;
	evaluate(OP_NOT_EQUAL, *this, p_other, result, valid);
	return result.booleanize();
}

bool Variant::operator<(const Variant &p_other) const {
	// godot-cpp's own code: both get_type() calls cross, then the evaluation below.
	engine_double::internal::count_crossings(2);
	if (type != p_other.type) {
		return type < p_other.type;
	}
	bool valid = false;
	Variant result;
	evaluate(OP_LESS, *this, p_other, result, valid);
	return valid && result.booleanize();
}

} // namespace godot
