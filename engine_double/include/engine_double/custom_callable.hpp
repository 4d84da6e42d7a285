#pragma once

// Callables made from C++ lambdas, for tests: a tick counter, an edge provider, a slot.

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <functional>

namespace godot {
class Object;
} // namespace godot

namespace engine_double {

using CallableFunction = std::function<godot::Variant(const godot::Variant **p_arguments, int p_argument_count)>;

// A custom callable, as a plug-in's own CallableCustom would be: valid, no object, and
// get_method() reports the engine's error ("Can't get method on CallableCustom ...").
// It declares p_argument_count arguments; the function receives whatever the caller passes.
ENGINE_DOUBLE_API godot::Callable make_custom_callable(CallableFunction p_function, int p_argument_count = 0);

// A callable that looks like a GDScript lambda: method &"<anonymous lambda>", text
// "(anonymous lambda)", object p_owner (a lambda's script or the object it uses as self;
// nullptr for none). Valid while p_owner lives (always, without an owner).
ENGINE_DOUBLE_API godot::Callable make_lambda_callable(CallableFunction p_function, int p_argument_count = 0, godot::Object *p_owner = nullptr);

// Runs the calls queued with call_deferred (on objects and callables), oldest first,
// including any queued while flushing. Returns how many ran.
ENGINE_DOUBLE_API int flush_deferred_calls();

} // namespace engine_double
