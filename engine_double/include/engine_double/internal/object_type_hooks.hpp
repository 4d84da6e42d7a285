#pragma once

// Optional hooks the object layer can install so that typed containers check classes the
// way the engine does. Without them every object passes the class check.

#include <godot_cpp/core/defs.hpp>

namespace godot {
class Object;
class StringName;
} // namespace godot

namespace engine_double::internal {

struct ObjectTypeHooks {
	// The class name of a live object.
	godot::StringName (*class_name)(const godot::Object *p_object) = nullptr;
	// Whether p_class is p_base or one of its descendants.
	bool (*is_parent_class)(const godot::StringName &p_class, const godot::StringName &p_base) = nullptr;
};

ENGINE_DOUBLE_API void set_object_type_hooks(const ObjectTypeHooks &p_hooks);
ENGINE_DOUBLE_API ObjectTypeHooks object_type_hooks();

} // namespace engine_double::internal
