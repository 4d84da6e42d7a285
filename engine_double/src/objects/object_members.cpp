// godot::Object: properties and methods by name, in the engine's lookup order (script
// instance, extension hooks, the class's bound members, then "script" and metadata).

#include "call_error_text.hpp"
#include "call_log_record.hpp"
#include "class_registry.hpp"
#include "deferred_calls.hpp"
#include "object_db.hpp"
#include "object_state.hpp"
#include "script_definition.hpp"
#include <engine_double/internal/crossing.hpp>

#include <engine_double/write_epoch.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/error_macros.hpp>

namespace engine_double::internal {

namespace {

const godot::StringName &name_free() {
	static const godot::StringName name("free");
	return name;
}

const godot::StringName &name_script() {
	static const godot::StringName name("script");
	return name;
}

bool is_metadata_property(const godot::StringName &p_name) {
	static const godot::String prefix("metadata/");
	return p_name.length() > prefix.length() && p_name.begins_with(prefix);
}

// ClassDB::get_property: getter, then integer constant, then method (as a Callable).
bool class_get(const godot::Object *p_object, const godot::StringName &p_name, godot::Variant &r_value) {
	for (const ClassRecord *record = ObjectAccess::class_record(p_object); record != nullptr; record = record->parent) {
		auto property = record->property_index.find(p_name);
		if (property != record->property_index.end()) {
			const PropertyRecord &entry = record->properties[property->second];
			godot::MethodBind *getter = class_find_method(ObjectAccess::class_record(p_object), entry.getter);
			if (getter == nullptr) {
				return false;
			}
			GDExtensionCallError error;
			r_value = getter->call(const_cast<godot::Object *>(p_object), nullptr, 0, error);
			return true;
		}
		auto constant = record->constants.find(p_name);
		if (constant != record->constants.end()) {
			r_value = constant->second;
			return true;
		}
		if (record->methods.find(p_name) != record->methods.end()) {
			r_value = godot::Callable(const_cast<godot::Object *>(p_object), p_name);
			return true;
		}
	}
	if (p_name == name_free()) {
		r_value = godot::Callable(const_cast<godot::Object *>(p_object), p_name);
		return true;
	}
	return false;
}

// ClassDB::set_property: only a property with a setter takes the value.
bool class_set(godot::Object *p_object, const godot::StringName &p_name, const godot::Variant &p_value) {
	const ClassRecord *own = ObjectAccess::class_record(p_object);
	const PropertyRecord *property = class_find_property(own, p_name);
	if (property == nullptr) {
		return false;
	}
	godot::MethodBind *setter = class_find_method(own, property->setter);
	if (setter != nullptr) {
		const godot::Variant *arguments[1] = { &p_value };
		GDExtensionCallError error;
		setter->call(p_object, arguments, 1, error);
	}
	return true;
}

bool method_exists(const godot::Object *p_object, const godot::StringName &p_method) {
	const ObjectState &state = ObjectAccess::state(p_object);
	if (state.script_instance && state.script_instance->has_method(p_method)) {
		return true;
	}
	return class_find_method(ObjectAccess::class_record(p_object), p_method) != nullptr;
}

} // namespace

godot::Variant ObjectAccess::callp(godot::Object *p_object, const godot::StringName &p_method, const godot::Variant **p_args, int p_argcount, GDExtensionCallError &r_error) {
	r_error.error = GDEXTENSION_CALL_OK;
	r_error.argument = 0;
	r_error.expected = 0;
	ObjectState &state = *p_object->_state;
	if (state.logged && g_call_log_enabled.load(std::memory_order_relaxed)) {
		call_log_append(p_object, CallLogKind::CALL, p_method, p_args, p_argcount, method_exists(p_object, p_method) || p_method == name_free());
	}

	if (p_method == name_free()) {
		if (godot::Object::cast_to<godot::RefCounted>(p_object) != nullptr) {
			r_error.error = GDEXTENSION_CALL_ERROR_INVALID_METHOD;
			ERR_FAIL_V_MSG(godot::Variant(), "Can't free a RefCounted object.");
		}
		if (p_argcount != 0) {
			r_error.error = GDEXTENSION_CALL_ERROR_TOO_MANY_ARGUMENTS;
			r_error.expected = 0;
			return godot::Variant();
		}
		memdelete(p_object);
		return godot::Variant();
	}

	if (state.script_instance) {
		godot::Variant result = state.script_instance->callp(p_method, p_args, p_argcount, r_error);
		if (r_error.error != GDEXTENSION_CALL_ERROR_INVALID_METHOD) {
			return result;
		}
		r_error.error = GDEXTENSION_CALL_OK;
	}

	godot::MethodBind *bind = class_find_method(class_record(p_object), p_method);
	if (bind == nullptr) {
		r_error.error = GDEXTENSION_CALL_ERROR_INVALID_METHOD;
		return godot::Variant();
	}
	return bind->call(p_object, p_args, p_argcount, r_error);
}

} // namespace engine_double::internal

namespace godot {

using engine_double::CallLogKind;
using engine_double::internal::ObjectAccess;
using engine_double::internal::ObjectState;

Variant Object::get(const StringName &p_property) const {
	// Its cost depends on where the name is found: a script member, an engine property's
	// getter, or nowhere.
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, DEFERRED);
	const uint64_t id = _instance_id;
	const ObjectState &state = *_state;
	// Logged before anything runs: a getter's or _get's own calls come after the read.
	const uint64_t ticket = state.logged ? engine_double::internal::call_log_record(this, CallLogKind::GET, p_property, nullptr, 0, false) : 0;
	Variant value;
	bool found = state.script_instance && state.script_instance->get(p_property, value);
	engine_double::internal::Cost cost = engine_double::internal::Cost::OBJECT_GET_MEMBER;
	// The script's getter or _get may have freed the object: nothing of it is touched then.
	if (engine_double::internal::object_db_get(id) != this) {
		engine_double::internal::call_log_settle(ticket, found);
		engine_double_crossing_.charge(cost);
		return value;
	}
	if (!found) {
		cost = engine_double::internal::Cost::OBJECT_GET_PROPERTY;
		found = _double_get_hook(p_property, value);
	}
	if (!found) {
		found = engine_double::internal::class_get(this, p_property, value);
	}
	if (!found && p_property == engine_double::internal::name_script()) {
		value = state.script;
		found = true;
	}
	if (!found && engine_double::internal::is_metadata_property(p_property)) {
		const StringName key(p_property.substr(9));
		found = state.metadata.has(key);
		if (found) {
			value = state.metadata.get(key, Variant());
		}
	}
	engine_double::internal::call_log_settle(ticket, found);
	engine_double_crossing_.charge(found ? cost : engine_double::internal::Cost::OBJECT_GET_ABSENT);
	return value;
}

void Object::set(const StringName &p_property, const Variant &p_value) {
	ENGINE_DOUBLE_COSTED(OBJECT_SET);
	engine_double::internal::note_write(_state->birth);
	const uint64_t id = _instance_id;
	ObjectState &state = *_state;
	const Variant *arguments[1] = { &p_value };
	// Logged before anything runs: a setter's or _set's own calls come after the write.
	const uint64_t ticket = state.logged ? engine_double::internal::call_log_record(this, CallLogKind::SET, p_property, arguments, 1, false) : 0;
	bool found = state.script_instance && state.script_instance->set(p_property, p_value);
	// The script's setter or _set may have freed the object: nothing of it is touched then.
	if (engine_double::internal::object_db_get(id) != this) {
		engine_double::internal::call_log_settle(ticket, found);
		return;
	}
	if (!found) {
		found = _double_set_hook(p_property, p_value);
	}
	if (!found) {
		found = engine_double::internal::class_set(this, p_property, p_value);
	}
	bool assign_script = false;
	bool assign_metadata = false;
	if (!found && p_property == engine_double::internal::name_script()) {
		found = assign_script = true;
	}
	if (!found && engine_double::internal::is_metadata_property(p_property)) {
		found = assign_metadata = true;
	}
	engine_double::internal::call_log_settle(ticket, found);
	if (assign_script) {
		set_script(p_value);
	} else if (assign_metadata) {
		set_meta(StringName(p_property.substr(9)), p_value);
	}
}

Variant Object::_call_variadic(const StringName &p_method, const Variant **p_args, int p_argcount) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, OBJECT_CALL);
	GDExtensionCallError error;
	// godot-cpp drops the call error of a vararg engine method: nothing is printed.
	return ObjectAccess::callp(this, p_method, p_args, p_argcount, error);
}

void Variant::callp(const StringName &p_method, const Variant **p_args, int p_argcount, Variant &r_ret, GDExtensionCallError &r_error) {
	ENGINE_DOUBLE_COSTED(OBJECT_CALL);
	r_error.error = GDEXTENSION_CALL_OK;
	r_error.argument = 0;
	r_error.expected = 0;
	r_ret = Variant();
	if (get_type() != OBJECT) {
		r_error.error = GDEXTENSION_CALL_ERROR_INVALID_METHOD;
		return;
	}
	Object *object = get_validated_object();
	if (object == nullptr) {
		r_error.error = GDEXTENSION_CALL_ERROR_INSTANCE_IS_NULL;
		return;
	}
	r_ret = ObjectAccess::callp(object, p_method, p_args, p_argcount, r_error);
}

void Object::_call_deferred_variadic(const StringName &p_method, const Variant **p_args, int p_argcount) {
	ENGINE_DOUBLE_CROSSINGS(2);
	std::vector<Variant> arguments;
	for (int i = 0; i < p_argcount; i++) {
		arguments.push_back(*p_args[i]);
	}
	engine_double::internal::deferred_push(Callable(this, p_method), std::move(arguments));
}

Variant Object::callv(const StringName &p_method, const Array &p_arg_array) {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, OBJECT_CALL);
	const int64_t count = p_arg_array.size();
	std::vector<const Variant *> pointers(size_t(count) + 1);
	for (int64_t i = 0; i < count; i++) {
		pointers[size_t(i)] = &p_arg_array[i];
	}
	GDExtensionCallError error;
	Variant result = ObjectAccess::callp(this, p_method, pointers.data(), int(count), error);
	if (error.error != GDEXTENSION_CALL_OK) {
		ERR_FAIL_V_MSG(Variant(), "Error calling method from 'callv': " + engine_double::internal::call_error_text(this, p_method, pointers.data(), int(count), error) + ".");
	}
	return result;
}

bool Object::has_method(const StringName &p_method) const {
	ENGINE_DOUBLE_CROSSING;
	if (p_method == engine_double::internal::name_free()) {
		return true;
	}
	return engine_double::internal::method_exists(this, p_method);
}

int64_t Object::get_method_argument_count(const StringName &p_method) const {
	ENGINE_DOUBLE_CROSSING;
	if (_state->script_instance) {
		int64_t count = 0;
		if (_state->script_instance->get_method_argument_count(p_method, count)) {
			return count;
		}
	}
	const MethodBind *bind = engine_double::internal::class_find_method(ObjectAccess::class_record(this), p_method);
	return bind != nullptr ? bind->get_argument_count() : 0;
}

} // namespace godot
