#pragma once

// The engine's wording of call errors.

#include <gdextension_interface.h>
#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/callable.hpp>

namespace engine_double::internal {

// Variant::get_call_error_text: "'RefCounted(path_service.gd)::two_args': Method expected 2
// argument(s), but called with 1" (no final period).
godot::String call_error_text(const godot::Object *p_base, const godot::StringName &p_method, const godot::Variant *const *p_args, int p_argcount, const GDExtensionCallError &p_error);

// Variant::get_callable_error_text: the same, after adding the callable's bound arguments.
godot::String callable_error_text(const godot::Callable &p_callable, const godot::Variant *const *p_args, int p_argcount, const GDExtensionCallError &p_error);

// The GDScript VM's text for a failed `base.method(args)`: "Invalid call. Nonexistent
// function 'foo' in base 'SampleCounter'." and its siblings.
godot::String script_call_error_text(const godot::Variant &p_base, const godot::StringName &p_method, const godot::Variant *const *p_args, int p_argcount, const GDExtensionCallError &p_error);

} // namespace engine_double::internal
