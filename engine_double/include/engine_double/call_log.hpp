#pragma once

// The call log: every property read, property write, method call and signal emission made
// through the engine API (get/set/call/callv/emit_signal) on a script object or on a
// ScriptDouble resource, in order, with its arguments. Tests read it to assert exactly what
// a plug-in asked and changed. Switch it off for benchmarks. Thread-safe.

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace godot {
class Object;
} // namespace godot

namespace engine_double {

enum class CallLogKind {
	GET,
	SET,
	CALL,
	EMIT,
};

struct ENGINE_DOUBLE_API CallLogEntry {
	CallLogKind kind = CallLogKind::GET;
	uint64_t object_id = 0;
	// "path_service.gd" for an instance, "GDScript(path_service.gd)" for the script itself.
	godot::String object_label;
	godot::StringName name;
	// The call's or emission's arguments; for SET the value written.
	godot::Array arguments;
	// Whether the member, method or signal existed.
	bool found = false;
	// The calling thread's modelled plug-in nanoseconds so far (internal/crossing.hpp), for a
	// benchmark to split a method's own time at the script calls it makes.
	uint64_t plugin_ns = 0;
	// The same thread's plug-in operations so far, by kind (indexed by internal::Cost), so the
	// split also says what each stretch spent its time on.
	std::vector<uint64_t> plugin_operations;

	// "path_service.gd get _query_batch", "path_service.gd set cache_misses = 4",
	// "path_service.gd call _route_failure(&\"GOAL_UNREACHABLE\")",
	// "path_service.gd emit path_query_measured(3)"; " (missing)" is appended when not found.
	std::string to_string() const;
};

ENGINE_DOUBLE_API void call_log_set_enabled(bool p_enabled);
ENGINE_DOUBLE_API bool call_log_is_enabled();
ENGINE_DOUBLE_API void call_log_clear();
ENGINE_DOUBLE_API std::vector<CallLogEntry> call_log_entries();
// Only the entries of one object.
ENGINE_DOUBLE_API std::vector<CallLogEntry> call_log_entries_for(const godot::Object *p_object);
// Every entry as CallLogEntry::to_string().
ENGINE_DOUBLE_API std::vector<std::string> call_log_lines();
ENGINE_DOUBLE_API size_t call_log_size();

// Turns the log off for a scope (set-up work a test does not want logged) and restores the
// switch on every path out.
class CallLogPause {
	bool was_enabled;

public:
	CallLogPause() :
	        was_enabled(call_log_is_enabled()) {
		call_log_set_enabled(false);
	}
	~CallLogPause() { call_log_set_enabled(was_enabled); }
	CallLogPause(const CallLogPause &) = delete;
	CallLogPause &operator=(const CallLogPause &) = delete;
};

} // namespace engine_double
