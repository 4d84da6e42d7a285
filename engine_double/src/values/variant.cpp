// Variant's life cycle: construction, copy, move, assignment and release.

#include "variant_access.hpp"
#include <engine_double/internal/crossing.hpp>

#include <engine_double/internal/object_seam.hpp>

namespace godot {

using engine_double::internal::PackedArrayRef;
using engine_double::internal::PackedArrayRefOf;

namespace {

template <typename P>
PackedArrayRef *make_packed_ref(const P &p_array) {
	return new PackedArrayRefOf<P>(p_array);
}

template <typename P>
void release_packed_ref(PackedArrayRef *p_ref) {
	if (p_ref->refcount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
		delete static_cast<PackedArrayRefOf<P> *>(p_ref);
	}
}

void release_packed(Variant::Type p_type, PackedArrayRef *p_ref) {
	switch (p_type) {
		case Variant::PACKED_BYTE_ARRAY:
			release_packed_ref<PackedByteArray>(p_ref);
			break;
		case Variant::PACKED_INT32_ARRAY:
			release_packed_ref<PackedInt32Array>(p_ref);
			break;
		case Variant::PACKED_INT64_ARRAY:
			release_packed_ref<PackedInt64Array>(p_ref);
			break;
		case Variant::PACKED_FLOAT32_ARRAY:
			release_packed_ref<PackedFloat32Array>(p_ref);
			break;
		case Variant::PACKED_FLOAT64_ARRAY:
			release_packed_ref<PackedFloat64Array>(p_ref);
			break;
		case Variant::PACKED_STRING_ARRAY:
			release_packed_ref<PackedStringArray>(p_ref);
			break;
		case Variant::PACKED_VECTOR2_ARRAY:
			release_packed_ref<PackedVector2Array>(p_ref);
			break;
		case Variant::PACKED_VECTOR3_ARRAY:
			release_packed_ref<PackedVector3Array>(p_ref);
			break;
		default:
			break;
	}
}

bool is_packed(Variant::Type p_type) {
	return p_type >= Variant::PACKED_BYTE_ARRAY && p_type <= Variant::PACKED_VECTOR4_ARRAY;
}

} // namespace

void Variant::_copy_slow(const Variant &p_other) {
	switch (type) {
		case STRING:
			new (_mem) String(*p_other._slot<String>());
			break;
		case NODE_PATH:
			new (_mem) NodePath(*p_other._slot<NodePath>());
			break;
		case OBJECT: {
			const ObjectSlot *source = p_other._slot<ObjectSlot>();
			new (_mem) ObjectSlot(*source);
			// Only a RefCounted id carries the reference bit; the pointer of any other object
			// may dangle (freed), so it is never followed here, as in the engine.
			if (source->pointer && (source->id & (uint64_t(1) << 63)) != 0) {
				engine_double::internal::object_variant_acquire(source->pointer);
			}
		} break;
		case CALLABLE:
			new (_mem) Callable(*p_other._slot<Callable>());
			break;
		case DICTIONARY:
			new (_mem) Dictionary(*p_other._slot<Dictionary>());
			break;
		case ARRAY:
			new (_mem) Array(*p_other._slot<Array>());
			break;
		default:
			if (is_packed(type)) {
				PackedArrayRef *ref = *p_other._slot<PackedArrayRef *>();
				ref->refcount.fetch_add(1, std::memory_order_relaxed);
				*_slot<PackedArrayRef *>() = ref;
			} else {
				std::memcpy(_mem, p_other._mem, sizeof(_mem));
			}
			break;
	}
}

void Variant::_move_slow(Variant &p_other) {
	// Only CALLABLE gets here: its shared_ptr is moved properly rather than relocated.
	new (_mem) Callable(std::move(*p_other._slot<Callable>()));
	p_other._slot<Callable>()->~Callable();
	p_other.type = NIL;
}

void Variant::_destroy_slow() {
	switch (type) {
		case STRING:
			_slot<String>()->~String();
			break;
		case NODE_PATH:
			_slot<NodePath>()->~NodePath();
			break;
		case OBJECT: {
			const ObjectSlot slot = *_slot<ObjectSlot>();
			type = NIL;
			if (slot.pointer) {
				engine_double::internal::object_variant_release(slot.id);
			}
		} break;
		case CALLABLE:
			_slot<Callable>()->~Callable();
			break;
		case DICTIONARY:
			_slot<Dictionary>()->~Dictionary();
			break;
		case ARRAY:
			_slot<Array>()->~Array();
			break;
		default:
			if (is_packed(type)) {
				release_packed(type, *_slot<PackedArrayRef *>());
			}
			break;
	}
	type = NIL;
}

Variant &Variant::operator=(const Variant &p_other) {
	// clear() (the type, maybe a destroy, a new nil), then the copy.
	ENGINE_DOUBLE_COSTED_CROSSINGS(_needs_deinit(type) ? 4 : 3, VARIANT_ASSIGN);
	// A reference payload released or taken costs its reference count.
	ENGINE_DOUBLE_CHARGE(VARIANT_REF, (_copy_cost(type) == engine_double::internal::Cost::VARIANT_REF ? 1 : 0) + (_copy_cost(p_other.type) == engine_double::internal::Cost::VARIANT_REF ? 1 : 0));
	if (this == &p_other) {
		return *this;
	}
	// Copy first: p_other may live inside the container this Variant is about to release.
	Variant copy(p_other);
	*this = std::move(copy);
	return *this;
}

Variant &Variant::operator=(Variant &&p_other) noexcept {
	// A swap in godot-cpp: the old value is released when p_other is destroyed, which counts.
	ENGINE_DOUBLE_CROSSINGS(0);
	if (this == &p_other) {
		return *this;
	}
	// Take p_other's payload before releasing ours: releasing may free what p_other lives in.
	Variant taken;
	taken.type = p_other.type;
	if (taken.type != CALLABLE) {
		std::memcpy(taken._mem, p_other._mem, sizeof(_mem));
		p_other.type = NIL;
	} else {
		taken._move_slow(p_other);
	}
	if (!_is_plain(type)) {
		_destroy_slow();
	}
	type = taken.type;
	if (type != CALLABLE) {
		std::memcpy(_mem, taken._mem, sizeof(_mem));
		taken.type = NIL;
	} else {
		_move_slow(taken);
	}
	return *this;
}

void Variant::clear() {
	ENGINE_DOUBLE_COSTED_CROSSINGS(_needs_deinit(type) ? 3 : 2, VARIANT_ASSIGN);
	if (!_is_plain(type)) {
		_destroy_slow();
	}
	type = NIL;
}

Variant::Variant(const char *p_value) :
        Variant(String(p_value)) {}

Variant::Variant(const char16_t *p_value) :
        Variant(String(p_value)) {}

Variant::Variant(const char32_t *p_value) :
        Variant(String(p_value)) {}

Variant::Variant(const wchar_t *p_value) :
        Variant(String(p_value)) {}

Variant::Variant(const NodePath &p_value) :
        type(NODE_PATH) {
	ENGINE_DOUBLE_COSTED(VARIANT_REF);
	new (_mem) NodePath(p_value);
}

Variant::Variant(const Object *p_object) :
        type(OBJECT) {
	ENGINE_DOUBLE_COSTED(VARIANT_REF);
	Object *object = const_cast<Object *>(p_object);
	new (_mem) ObjectSlot { object, engine_double::internal::object_instance_id(object) };
	if (object) {
		engine_double::internal::object_variant_acquire(object);
	}
}

Variant::Variant(const Callable &p_value) :
        type(CALLABLE) {
	ENGINE_DOUBLE_COSTED(VARIANT_REF);
	new (_mem) Callable(p_value);
}

Variant::Variant(const Dictionary &p_value) :
        type(DICTIONARY) {
	ENGINE_DOUBLE_COSTED(VARIANT_REF);
	new (_mem) Dictionary(p_value);
}

Variant::Variant(const Array &p_value) :
        type(ARRAY) {
	ENGINE_DOUBLE_COSTED(VARIANT_REF);
	new (_mem) Array(p_value);
}

void Variant::_set_packed(Type p_type, PackedArrayRef *p_ref) {
	type = p_type;
	*_slot<PackedArrayRef *>() = p_ref;
}

Variant::Variant(const PackedByteArray &p_value) {
	ENGINE_DOUBLE_COSTED(VARIANT_REF);
	_set_packed(PACKED_BYTE_ARRAY, make_packed_ref(p_value));
}

Variant::Variant(const PackedInt32Array &p_value) {
	ENGINE_DOUBLE_COSTED(VARIANT_REF);
	_set_packed(PACKED_INT32_ARRAY, make_packed_ref(p_value));
}

Variant::Variant(const PackedInt64Array &p_value) {
	ENGINE_DOUBLE_COSTED(VARIANT_REF);
	_set_packed(PACKED_INT64_ARRAY, make_packed_ref(p_value));
}

Variant::Variant(const PackedFloat32Array &p_value) {
	ENGINE_DOUBLE_COSTED(VARIANT_REF);
	_set_packed(PACKED_FLOAT32_ARRAY, make_packed_ref(p_value));
}

Variant::Variant(const PackedFloat64Array &p_value) {
	ENGINE_DOUBLE_COSTED(VARIANT_REF);
	_set_packed(PACKED_FLOAT64_ARRAY, make_packed_ref(p_value));
}

Variant::Variant(const PackedStringArray &p_value) {
	ENGINE_DOUBLE_COSTED(VARIANT_REF);
	_set_packed(PACKED_STRING_ARRAY, make_packed_ref(p_value));
}

Variant::Variant(const PackedVector2Array &p_value) {
	ENGINE_DOUBLE_COSTED(VARIANT_REF);
	_set_packed(PACKED_VECTOR2_ARRAY, make_packed_ref(p_value));
}

Variant::Variant(const PackedVector3Array &p_value) {
	ENGINE_DOUBLE_COSTED(VARIANT_REF);
	_set_packed(PACKED_VECTOR3_ARRAY, make_packed_ref(p_value));
}

const void *Variant::_identity() const {
	switch (type) {
		case ARRAY:
			return _slot<Array>()->_identity();
		case DICTIONARY:
			return _slot<Dictionary>()->_identity();
		default:
			if (is_packed(type)) {
				return *_slot<PackedArrayRef *>();
			}
			return nullptr;
	}
}

uint64_t Variant::_object_id() const {
	return type == OBJECT ? _slot<ObjectSlot>()->id : 0;
}

} // namespace godot
