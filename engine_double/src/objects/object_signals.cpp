// godot::Object: signals, with the engine's checks and messages.

#include "call_error_text.hpp"
#include "call_log_record.hpp"
#include "callable_data.hpp"
#include "class_registry.hpp"
#include "deferred_calls.hpp"
#include "object_state.hpp"
#include "script_definition.hpp"
#include <engine_double/internal/crossing.hpp>

#include <engine_double/internal/object_seam.hpp>
#include <godot_cpp/core/error_macros.hpp>

namespace godot {

using engine_double::internal::Connection;
using engine_double::internal::ObjectAccess;
using engine_double::internal::ObjectState;

namespace {

bool class_has_signal(const Object *p_object, const StringName &p_signal) {
	return engine_double::internal::class_find_signal(ObjectAccess::class_record(p_object), p_signal) != nullptr;
}

bool script_has_signal(const ObjectState &p_state, const StringName &p_signal) {
	return p_state.script_instance && p_state.script_instance->has_signal(p_signal);
}

String quoted(const StringName &p_name) {
	return "\"" + String(p_name) + "\"";
}

std::vector<Connection>::iterator find_connection(std::vector<Connection> &p_slots, const Callable &p_callable) {
	const Callable &base = engine_double::internal::callable_base_comparator(p_callable);
	for (auto it = p_slots.begin(); it != p_slots.end(); ++it) {
		if (engine_double::internal::callable_base_comparator(it->callable) == base) {
			return it;
		}
	}
	return p_slots.end();
}

} // namespace

bool Object::has_signal(const StringName &p_signal) const {
	ENGINE_DOUBLE_CROSSING;
	return script_has_signal(*_state, p_signal) || class_has_signal(this, p_signal);
}

Error Object::_emit_signal_variadic(const StringName &p_signal, const Variant **p_args, int p_argcount) {
	ENGINE_DOUBLE_CROSSING;
	ObjectState &state = *_state;
	if (state.logged) {
		engine_double::internal::call_log_record(this, engine_double::CallLogKind::EMIT, p_signal, p_args, p_argcount, has_signal(p_signal));
	}
	auto slots = state.connections.find(p_signal);
	if (slots == state.connections.end() || slots->second.empty()) {
		const bool declared = class_has_signal(this, p_signal) || script_has_signal(state, p_signal);
		ERR_FAIL_COND_V_MSG(!declared && state.script.get_type() != Variant::NIL, ERR_UNAVAILABLE, "Can't emit non-existing signal " + quoted(p_signal) + ".");
		// Not connected: nothing to do.
		return ERR_UNAVAILABLE;
	}
	// Slots may connect or disconnect while we emit: work on a copy.
	const std::vector<Connection> connections = slots->second;
	const uint64_t self_id = _instance_id;
	Error result = OK;
	for (const Connection &connection : connections) {
		if (!connection.callable.is_valid()) {
			continue;
		}
		if (connection.flags & CONNECT_ONE_SHOT) {
			Object *self = engine_double::internal::object_from_instance_id(self_id);
			if (self != nullptr) {
				self->disconnect(p_signal, connection.callable);
			}
		}
		if (connection.flags & CONNECT_DEFERRED) {
			std::vector<Variant> arguments;
			for (int i = 0; i < p_argcount; i++) {
				arguments.push_back(*p_args[i]);
			}
			engine_double::internal::deferred_push(connection.callable, std::move(arguments));
			continue;
		}
		Variant ignored;
		GDExtensionCallError error;
		connection.callable.callp(p_args, p_argcount, ignored, error);
		if (error.error != GDEXTENSION_CALL_OK) {
			_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Error calling from signal '" + String(p_signal) + "' to callable: " + engine_double::internal::callable_error_text(connection.callable, p_args, p_argcount, error) + ".");
			result = ERR_METHOD_NOT_FOUND;
		}
	}
	return result;
}

Error Object::connect(const StringName &p_signal, const Callable &p_callable, uint32_t p_flags) {
	ENGINE_DOUBLE_CROSSING;
	ERR_FAIL_COND_V_MSG(p_callable.is_null(), ERR_INVALID_PARAMETER, "Cannot connect to '" + String(p_signal) + "': the provided callable is null.");
	if (p_callable.is_standard()) {
		ERR_FAIL_NULL_V_MSG(p_callable.get_object(), ERR_INVALID_PARAMETER, "Cannot connect to '" + String(p_signal) + "' to callable '" + engine_double::internal::callable_text(p_callable) + "': the callable object is null.");
	} else {
		ERR_FAIL_COND_V_MSG(!p_callable.is_valid(), ERR_INVALID_PARAMETER, "Cannot connect to '" + String(p_signal) + "': the provided callable is not valid: '" + engine_double::internal::callable_text(p_callable) + "'.");
	}
	ObjectState &state = *_state;
	auto slots = state.connections.find(p_signal);
	if (slots == state.connections.end()) {
		ERR_FAIL_COND_V_MSG(!has_signal(p_signal), ERR_INVALID_PARAMETER, "In Object of type '" + get_class() + "': Attempt to connect nonexistent signal '" + String(p_signal) + "' to callable '" + engine_double::internal::callable_text(p_callable) + "'.");
		slots = state.connections.emplace(p_signal, std::vector<Connection>()).first;
	}
	auto existing = find_connection(slots->second, p_callable);
	if (existing != slots->second.end()) {
		if (p_flags & CONNECT_REFERENCE_COUNTED) {
			existing->reference_count++;
			return OK;
		}
		ERR_FAIL_V_MSG(ERR_INVALID_PARAMETER, "Signal '" + String(p_signal) + "' is already connected to given callable '" + engine_double::internal::callable_text(p_callable) + "' in that object.");
	}
	slots->second.push_back(Connection { p_callable, p_flags, 1 });
	return OK;
}

void Object::disconnect(const StringName &p_signal, const Callable &p_callable) {
	ENGINE_DOUBLE_CROSSING;
	ERR_FAIL_COND_MSG(p_callable.is_null(), "Cannot disconnect from '" + String(p_signal) + "': the provided callable is null.");
	ObjectState &state = *_state;
	auto slots = state.connections.find(p_signal);
	if (slots == state.connections.end()) {
		ERR_FAIL_COND_MSG(has_signal(p_signal), "Attempt to disconnect a nonexistent connection from '" + to_string() + "'. Signal: '" + String(p_signal) + "', callable: '" + engine_double::internal::callable_text(p_callable) + "'.");
		ERR_FAIL_MSG("Disconnecting nonexistent signal '" + String(p_signal) + "' in '" + to_string() + "'.");
	}
	auto existing = find_connection(slots->second, p_callable);
	ERR_FAIL_COND_MSG(existing == slots->second.end(), "Attempt to disconnect a nonexistent connection from '" + to_string() + "'. Signal: '" + String(p_signal) + "', callable: '" + engine_double::internal::callable_text(p_callable) + "'.");
	if ((existing->flags & CONNECT_REFERENCE_COUNTED) && --existing->reference_count > 0) {
		return;
	}
	slots->second.erase(existing);
}

bool Object::is_connected(const StringName &p_signal, const Callable &p_callable) const {
	ENGINE_DOUBLE_CROSSING;
	ERR_FAIL_COND_V_MSG(p_callable.is_null(), false, "Cannot determine if connected to '" + String(p_signal) + "': the provided callable is null.");
	auto slots = _state->connections.find(p_signal);
	if (slots == _state->connections.end()) {
		ERR_FAIL_COND_V_MSG(!has_signal(p_signal), false, "Nonexistent signal: " + String(p_signal) + ".");
		return false;
	}
	std::vector<Connection> &connections = const_cast<std::vector<Connection> &>(slots->second);
	return find_connection(connections, p_callable) != connections.end();
}

} // namespace godot
