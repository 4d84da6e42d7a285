#pragma once

#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <vector>

namespace engine_double::internal {

// Queues a call for engine_double::flush_deferred_calls(), as the engine's message queue
// runs call_deferred at the end of the frame.
void deferred_push(const godot::Callable &p_callable, std::vector<godot::Variant> p_arguments);

} // namespace engine_double::internal
