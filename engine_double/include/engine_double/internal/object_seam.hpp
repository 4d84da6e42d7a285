#pragma once

// What the value types need from the object layer. The object layer defines these;
// the value layer only calls them.

#include <godot_cpp/core/defs.hpp>

#include <cstdint>

namespace godot {
class Callable;
class Object;
class String;
} // namespace godot

namespace engine_double::internal {

// 0 for nullptr.
ENGINE_DOUBLE_API uint64_t object_instance_id(const godot::Object *p_object);
// nullptr when the id is unknown or its object was freed.
ENGINE_DOUBLE_API godot::Object *object_from_instance_id(uint64_t p_id);
// to_string() of a live object: "<ClassName#id>" unless the class or its script overrides it.
ENGINE_DOUBLE_API godot::String object_text(const godot::Object *p_object);
// "Class::method" and the other forms the engine prints for a Callable.
ENGINE_DOUBLE_API godot::String callable_text(const godot::Callable &p_callable);

// A Variant holding a RefCounted keeps it alive: acquire when a Variant starts holding an
// object, release when it stops. No-ops for null and for objects that are not RefCounted.
ENGINE_DOUBLE_API void object_variant_acquire(godot::Object *p_object);
ENGINE_DOUBLE_API void object_variant_release(uint64_t p_id);

} // namespace engine_double::internal
