// A script object's instance side: members, and calls with GDScript's argument rules.

#include "call_log_record.hpp"
#include "object_db.hpp"
#include "object_state.hpp"
#include "script_definition.hpp"
#include <engine_double/internal/crossing.hpp>

#include <engine_double/script_hook.hpp>
#include <engine_double/write_epoch.hpp>

#include <algorithm>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

namespace engine_double {

namespace internal {

namespace {

const godot::StringName &name_get_hook() {
	static const godot::StringName name("_get");
	return name;
}

const godot::StringName &name_set_hook() {
	static const godot::StringName name("_set");
	return name;
}

const godot::StringName &name_to_string() {
	static const godot::StringName name("_to_string");
	return name;
}

// A function's declared return type gives its result on a failed call (0 for -> int).
godot::Variant default_of(godot::Variant::Type p_type) {
	if (p_type == godot::Variant::NIL) {
		return godot::Variant();
	}
	return godot::UtilityFunctions::type_convert(godot::Variant(), int64_t(p_type));
}

ScriptHook &installed_hook() {
	static ScriptHook *hook = new ScriptHook();
	return *hook;
}

bool g_hook_every_member = false;

bool every_member_hooked() {
	return g_hook_every_member && installed_hook();
}

// The owner still exists and still runs this instance of p_script.
bool instance_still_runs(uint64_t p_owner_id, const ScriptInstance *p_instance, const ScriptDouble *p_script) {
	godot::Object *owner = object_db_get(p_owner_id);
	if (owner == nullptr) {
		return false;
	}
	const ObjectState &state = ObjectAccess::state(owner);
	return state.script_instance.get() == p_instance && p_instance->script().ptr() == p_script;
}

} // namespace

ScriptInstance::ScriptInstance(const godot::Ref<ScriptDouble> &p_script, godot::Object *p_owner) :
        _script(p_script),
        _owner(p_owner) {
	std::vector<std::pair<godot::StringName, godot::Variant>> members;
	_script->_get_definition().collect_members(members);
	for (const auto &member : members) {
		// Each instance gets its own containers, as `var x = {}` builds one per instance.
		_members[member.first] = member.second.duplicate(true);
	}
}

godot::Variant *ScriptInstance::member(const godot::StringName &p_name) {
	auto it = _members.find(p_name);
	return it != _members.end() ? &it->second : nullptr;
}

bool ScriptInstance::get(const godot::StringName &p_name, godot::Variant &r_value) const {
	auto it = _members.find(p_name);
	const ScriptDefinition &script = definition();
	if (it != _members.end()) {
		const ScriptAccessors *accessors = script.find_accessors(p_name);
		if (accessors == nullptr || accessors->getter.is_empty()) {
			r_value = every_member_hooked() ? const_cast<ScriptInstance *>(this)->hooked_member(p_name, ScriptHookAccess::GET, nullptr) : it->second;
			return true;
		}
		// The getter's answer, nil when its call fails. Nothing of this instance is touched
		// afterwards: the getter may have freed its object.
		const godot::StringName getter = accessors->getter;
		GDExtensionCallError error;
		godot::Variant result = const_cast<ScriptInstance *>(this)->run_accessor(getter, nullptr, 0, ScriptHookAccess::GET, p_name, error);
		r_value = error.error == GDEXTENSION_CALL_OK ? result : godot::Variant();
		return true;
	}
	if (script.find_constant(p_name, r_value)) {
		return true;
	}
	if (script.find_method(p_name) != nullptr) {
		r_value = godot::Callable(_owner, p_name);
		return true;
	}
	if (script.find_method(name_get_hook()) != nullptr) {
		const godot::Variant name = p_name;
		const godot::Variant *arguments[1] = { &name };
		GDExtensionCallError error;
		godot::Variant result = const_cast<ScriptInstance *>(this)->run_accessor(name_get_hook(), arguments, 1, ScriptHookAccess::GET, p_name, error);
		// Nil is no answer: the engine goes on to its own lookups.
		if (error.error == GDEXTENSION_CALL_OK && result.get_type() != godot::Variant::NIL) {
			r_value = result;
			return true;
		}
	}
	return false;
}

bool ScriptInstance::set(const godot::StringName &p_name, const godot::Variant &p_value) {
	auto it = _members.find(p_name);
	if (it != _members.end()) {
		const ScriptAccessors *accessors = definition().find_accessors(p_name);
		if (accessors == nullptr || accessors->setter.is_empty()) {
			if (every_member_hooked()) {
				hooked_member(p_name, ScriptHookAccess::SET, &p_value);
			} else {
				it->second = p_value;
			}
			return true;
		}
		const godot::StringName setter = accessors->setter;
		const godot::Variant *arguments[1] = { &p_value };
		GDExtensionCallError error;
		run_accessor(setter, arguments, 1, ScriptHookAccess::SET, p_name, error);
		return error.error == GDEXTENSION_CALL_OK;
	}
	if (definition().find_method(name_set_hook()) != nullptr) {
		const godot::Variant name = p_name;
		const godot::Variant *arguments[2] = { &name, &p_value };
		GDExtensionCallError error;
		const godot::Variant handled = run_accessor(name_set_hook(), arguments, 2, ScriptHookAccess::SET, p_name, error);
		// Only a bool true takes the value, as in the engine.
		return error.error == GDEXTENSION_CALL_OK && handled.get_type() == godot::Variant::BOOL && bool(handled);
	}
	return false;
}

godot::Variant ScriptInstance::hooked_member(const godot::StringName &p_name, ScriptHookAccess p_access, const godot::Variant *p_value) {
	// Copies: the hook may free the object, and with it this instance and its script.
	const godot::Ref<ScriptDouble> script = _script;
	const godot::StringName property = p_name;
	const uint64_t owner_id = ObjectAccess::id(_owner);
	godot::Variant result;
	ScriptHookCall before;
	before.object_id = owner_id;
	before.point = ScriptHookPoint::BEFORE;
	before.result = &result;
	before.access = p_access;
	before.property = property;
	// A copy: the hook may install another one while it runs.
	const ScriptHook hook = installed_hook();
	hook(before);
	if (!before.skip_body && instance_still_runs(owner_id, this, script.ptr())) {
		auto it = _members.find(property);
		if (it != _members.end()) {
			if (p_value == nullptr) {
				result = it->second;
			} else {
				it->second = *p_value;
			}
		}
	}
	ScriptHookCall after;
	after.object_id = owner_id;
	after.point = ScriptHookPoint::AFTER;
	after.result = &result;
	after.access = p_access;
	after.property = property;
	const ScriptHook hook_after = installed_hook();
	if (hook_after) {
		hook_after(after);
	}
	return result;
}

godot::Variant ScriptInstance::run_accessor(const godot::StringName &p_method, const godot::Variant **p_args, int p_argcount, ScriptHookAccess p_access, const godot::StringName &p_property, GDExtensionCallError &r_error) {
	if (ObjectAccess::state(_owner).logged) {
		call_log_record(_owner, CallLogKind::CALL, p_method, p_args, p_argcount, has_method(p_method));
	}
	return callp(p_method, p_args, p_argcount, r_error, p_access, p_property);
}

bool ScriptInstance::has_method(const godot::StringName &p_name) const {
	return definition().find_method(p_name) != nullptr;
}

bool ScriptInstance::get_method_argument_count(const godot::StringName &p_name, int64_t &r_count) const {
	const ScriptMethod *method = definition().find_method(p_name);
	if (method == nullptr) {
		return false;
	}
	r_count = int64_t(method->parameters.size());
	return true;
}

godot::Variant ScriptInstance::callp(const godot::StringName &p_name, const godot::Variant **p_args, int p_argcount, GDExtensionCallError &r_error) {
	return callp(p_name, p_args, p_argcount, r_error, ScriptHookAccess::CALL, godot::StringName());
}

godot::Variant ScriptInstance::callp(const godot::StringName &p_name, const godot::Variant **p_args, int p_argcount, GDExtensionCallError &r_error, ScriptHookAccess p_access, const godot::StringName &p_property) {
	r_error.error = GDEXTENSION_CALL_OK;
	const ScriptMethod *method = definition().find_method(p_name);
	if (method == nullptr) {
		r_error.error = GDEXTENSION_CALL_ERROR_INVALID_METHOD;
		return godot::Variant();
	}
	const int total = int(method->parameters.size());
	const int required = total - int(method->defaults.size());
	if (p_argcount > total) {
		r_error.error = GDEXTENSION_CALL_ERROR_TOO_MANY_ARGUMENTS;
		r_error.expected = total;
		return default_of(method->return_type);
	}
	if (p_argcount < required) {
		r_error.error = GDEXTENSION_CALL_ERROR_TOO_FEW_ARGUMENTS;
		r_error.expected = required;
		return default_of(method->return_type);
	}
	// Arguments pass through untouched unless a default or a conversion is needed; small
	// calls need no allocation.
	constexpr int INLINE_ARGUMENTS = 8;
	godot::Variant inline_converted[INLINE_ARGUMENTS];
	const godot::Variant *inline_pointers[INLINE_ARGUMENTS];
	std::vector<godot::Variant> heap_converted;
	std::vector<const godot::Variant *> heap_pointers;
	godot::Variant *converted = inline_converted;
	const godot::Variant **pointers = inline_pointers;
	if (total > INLINE_ARGUMENTS) {
		heap_converted.resize(static_cast<size_t>(total));
		heap_pointers.resize(static_cast<size_t>(total));
		converted = heap_converted.data();
		pointers = heap_pointers.data();
	}
	for (int i = 0; i < total; i++) {
		const godot::Variant &given = i < p_argcount ? *p_args[i] : method->defaults[size_t(i - required)];
		const godot::Variant::Type type = method->parameters[size_t(i)].type;
		if (type == godot::Variant::NIL || given.get_type() == type) {
			pointers[i] = &given;
		} else if (godot::Variant::can_convert_strict(given.get_type(), type)) {
			converted[i] = godot::UtilityFunctions::type_convert(given, int64_t(type));
			pointers[i] = &converted[i];
		} else {
			// GDScript checks typed parameters before the body runs.
			r_error.error = GDEXTENSION_CALL_ERROR_INVALID_ARGUMENT;
			r_error.argument = i;
			r_error.expected = int32_t(type);
			return default_of(method->return_type);
		}
	}
	// Nothing of this instance is touched once the body returns: the body may have freed
	// the object (and with it this instance).
	const godot::Variant::Type return_type = method->return_type;
	ScriptCall call;
	call.self = _owner;
	call.arguments = pointers;
	call.argument_count = total;
	godot::Variant result;
	// A copy: the hook may install another one while it runs.
	const ScriptHook hook = installed_hook();
	const uint64_t owner_id = hook ? ObjectAccess::id(_owner) : 0;
	if (hook) {
		// Holds the method (and the defaults the arguments may point at) while the hook
		// replaces the script.
		const godot::Ref<ScriptDouble> script = _script;
		const godot::StringName name = p_name;
		const godot::StringName property = p_property;
		ScriptHookCall before;
		before.object_id = owner_id;
		before.method = name;
		before.point = ScriptHookPoint::BEFORE;
		before.result = &result;
		before.access = p_access;
		before.property = property;
		hook(before);
		if (!before.skip_body && instance_still_runs(owner_id, this, script.ptr())) {
			try {
				// What the body does is the script's work, not its caller's.
				const CrossingFrame frame(CROSSING_SCRIPT, total);
				result = method->function ? method->function(call) : godot::Variant();
			} catch (...) {
				godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Exception thrown by script method '" + godot::String(name) + "' of the engine double.");
				result = default_of(return_type);
			}
		}
		ScriptHookCall after;
		after.object_id = owner_id;
		after.method = name;
		after.point = ScriptHookPoint::AFTER;
		after.result = &result;
		after.access = p_access;
		after.property = property;
		const ScriptHook hook_after = installed_hook();
		if (hook_after) {
			hook_after(after);
		}
	} else {
		try {
			// What the body does is the script's work, not its caller's.
			const CrossingFrame frame(CROSSING_SCRIPT, total);
			result = method->function ? method->function(call) : godot::Variant();
		} catch (...) {
			godot::_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Exception thrown by script method '" + godot::String(p_name) + "' of the engine double.");
			return default_of(return_type);
		}
	}
	if (return_type != godot::Variant::NIL && result.get_type() != return_type) {
		result = godot::UtilityFunctions::type_convert(result, int64_t(return_type));
	}
	return result;
}

bool ScriptInstance::has_signal(const godot::StringName &p_name) const {
	return definition().find_signal(p_name) != nullptr;
}

bool ScriptInstance::to_string(godot::String &r_text) {
	if (definition().find_method(name_to_string()) == nullptr) {
		return false;
	}
	GDExtensionCallError error;
	const godot::Variant text = callp(name_to_string(), nullptr, 0, error);
	if (error.error != GDEXTENSION_CALL_OK) {
		return false;
	}
	r_text = text.stringify();
	return true;
}

godot::Dictionary ScriptInstance::snapshot() const {
	godot::Dictionary snapshot;
	std::vector<std::pair<godot::StringName, godot::Variant>> declared;
	definition().collect_members(declared);
	for (const auto &member : declared) {
		auto it = _members.find(member.first);
		if (it != _members.end()) {
			snapshot[member.first] = it->second.duplicate(true);
		}
	}
	return snapshot;
}

std::vector<godot::StringName> ScriptInstance::member_names() const {
	std::vector<godot::StringName> declared;
	definition().collect_member_names(declared);
	std::vector<godot::StringName> names;
	names.reserve(declared.size());
	for (const godot::StringName &name : declared) {
		// A member a derived script declares again keeps its first place, as in snapshot().
		if (_members.find(name) != _members.end() && std::find(names.begin(), names.end(), name) == names.end()) {
			names.push_back(name);
		}
	}
	return names;
}

} // namespace internal

void script_hook_set(ScriptHook p_hook) {
	internal::installed_hook() = std::move(p_hook);
}

void script_hook_every_member(bool p_enabled) {
	internal::g_hook_every_member = p_enabled;
}

godot::Variant ScriptCall::member(const godot::StringName &p_name) const {
	if (self == nullptr) {
		return godot::Variant();
	}
	internal::ObjectState &state = internal::ObjectAccess::state(self);
	godot::Variant *value = state.script_instance ? state.script_instance->member(p_name) : nullptr;
	ERR_FAIL_NULL_V_MSG(value, godot::Variant(), "Script member '" + godot::String(p_name) + "' is not declared.");
	return *value;
}

void ScriptCall::set_member(const godot::StringName &p_name, const godot::Variant &p_value) const {
	if (self == nullptr) {
		return;
	}
	internal::ObjectState &state = internal::ObjectAccess::state(self);
	internal::note_write(state.birth);
	godot::Variant *value = state.script_instance ? state.script_instance->member(p_name) : nullptr;
	ERR_FAIL_NULL_MSG(value, "Script member '" + godot::String(p_name) + "' is not declared.");
	*value = p_value;
}

} // namespace engine_double
