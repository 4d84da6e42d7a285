#pragma once

// Private access to Variant's payload for the value layer's own sources.

#include <godot_cpp/variant/variant.hpp>

#include <atomic>
#include <new>

namespace engine_double::internal {

// The Variant-level reference to a packed array. Copying a Variant shares it; each
// Variant built from a C++ packed array gets a new one (that is what is_same compares).
struct PackedArrayRef {
	std::atomic<uint32_t> refcount { 1 };
};

template <typename P>
struct PackedArrayRefOf : PackedArrayRef {
	P array;
	explicit PackedArrayRefOf(const P &p_array) :
	        array(p_array) {}
};

} // namespace engine_double::internal

namespace godot {

struct engine_double_variant_access {
	template <typename T>
	static T &payload(Variant &p_variant) { return *p_variant._slot<T>(); }
	template <typename T>
	static const T &payload(const Variant &p_variant) { return *p_variant._slot<T>(); }

	// The type without counting a crossing: for the engine's own hot paths.
	static Variant::Type type(const Variant &p_variant) { return p_variant.type; }
	static Object *object_pointer(const Variant &p_variant) { return p_variant._slot<Variant::ObjectSlot>()->pointer; }
	static uint64_t object_id(const Variant &p_variant) { return p_variant._slot<Variant::ObjectSlot>()->id; }

	static engine_double::internal::PackedArrayRef *packed_ref(const Variant &p_variant) {
		return *p_variant._slot<engine_double::internal::PackedArrayRef *>();
	}
	template <typename P>
	static const P &packed(const Variant &p_variant) {
		return static_cast<engine_double::internal::PackedArrayRefOf<P> *>(packed_ref(p_variant))->array;
	}
};

using VariantAccess = engine_double_variant_access;

} // namespace godot
