#pragma once

#include <engine_double/call_log.hpp>

#include <godot_cpp/variant/variant.hpp>

#include <atomic>
#include <cstdint>

namespace engine_double::internal {

extern std::atomic<bool> g_call_log_enabled;

// Returns the entry's ticket (0 when nothing was logged), for call_log_settle.
uint64_t call_log_append(const godot::Object *p_object, CallLogKind p_kind, const godot::StringName &p_name, const godot::Variant *const *p_args, int p_argcount, bool p_found);
// Sets whether the member of the entry p_ticket existed, once the read or write that logged
// it (before running any script) knows; nothing when the entry is gone (the log was cleared).
void call_log_settle(uint64_t p_ticket, bool p_found);

// Cheap when the log is off: one relaxed load.
inline uint64_t call_log_record(const godot::Object *p_object, CallLogKind p_kind, const godot::StringName &p_name, const godot::Variant *const *p_args, int p_argcount, bool p_found) {
	if (g_call_log_enabled.load(std::memory_order_relaxed)) {
		return call_log_append(p_object, p_kind, p_name, p_args, p_argcount, p_found);
	}
	return 0;
}

} // namespace engine_double::internal
