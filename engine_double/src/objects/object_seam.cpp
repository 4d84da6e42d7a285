// What the value types ask of the object layer.

#include "object_db.hpp"
#include "object_state.hpp"
#include <engine_double/internal/crossing.hpp>

#include <engine_double/internal/object_seam.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/object.hpp>

namespace engine_double::internal {

uint64_t object_instance_id(const godot::Object *p_object) {
	return p_object != nullptr ? p_object->get_instance_id() : 0;
}

godot::Object *object_from_instance_id(uint64_t p_id) {
	return object_db_get(p_id);
}

godot::String object_text(const godot::Object *p_object) {
	if (p_object == nullptr) {
		return "<Object#null>";
	}
	return const_cast<godot::Object *>(p_object)->to_string();
}

void object_variant_acquire(godot::Object *p_object) {
	godot::RefCounted *counted = godot::Object::cast_to<godot::RefCounted>(p_object);
	if (counted != nullptr) {
		counted->init_ref();
	}
}

void object_variant_release(uint64_t p_id) {
	// Only RefCounted ids carry the reference bit: skip the lookup for the others.
	if ((p_id & (uint64_t(1) << 63)) == 0) {
		return;
	}
	godot::RefCounted *counted = godot::Object::cast_to<godot::RefCounted>(object_db_get(p_id));
	if (counted != nullptr && counted->unreference()) {
		memdelete(counted);
	}
}

} // namespace engine_double::internal

namespace godot {

Object *ObjectDB::get_instance(uint64_t p_object_id) {
	ENGINE_DOUBLE_COSTED(OBJECT_DB_GET);
	return engine_double::internal::object_db_get(p_object_id);
}

} // namespace godot
