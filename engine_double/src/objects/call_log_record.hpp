#pragma once

#include <engine_double/call_log.hpp>

#include <godot_cpp/variant/variant.hpp>

#include <atomic>

namespace engine_double::internal {

extern std::atomic<bool> g_call_log_enabled;

void call_log_append(const godot::Object *p_object, CallLogKind p_kind, const godot::StringName &p_name, const godot::Variant *const *p_args, int p_argcount, bool p_found);

// Cheap when the log is off: one relaxed load.
inline void call_log_record(const godot::Object *p_object, CallLogKind p_kind, const godot::StringName &p_name, const godot::Variant *const *p_args, int p_argcount, bool p_found) {
	if (g_call_log_enabled.load(std::memory_order_relaxed)) {
		call_log_append(p_object, p_kind, p_name, p_args, p_argcount, p_found);
	}
}

} // namespace engine_double::internal
