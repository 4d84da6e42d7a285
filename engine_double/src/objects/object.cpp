// godot::Object: lifetime, identity, class, script attachment, metadata and listings.

#include "class_registry.hpp"
#include "object_db.hpp"
#include "object_state.hpp"
#include "script_definition.hpp"
#include <engine_double/internal/crossing.hpp>

#include <engine_double/script_double.hpp>
#include <engine_double/write_epoch.hpp>
#include <godot_cpp/core/error_macros.hpp>

namespace engine_double::internal {

ObjectState::ObjectState() = default;
ObjectState::~ObjectState() = default;

const ClassRecord *ObjectAccess::class_record(const godot::Object *p_object) {
	ObjectState &state = *p_object->_state;
	const uint64_t generation = class_generation();
	if (state.class_record == nullptr || state.class_record_generation != generation) {
		state.class_record = class_find(p_object->_get_class_namev());
		state.class_record_generation = generation;
	}
	return state.class_record;
}

void ObjectAccess::set_logged(godot::Object *p_object, const godot::String &p_label) {
	ObjectState &state = *p_object->_state;
	state.logged = true;
	state.log_label = p_label;
}

} // namespace engine_double::internal

namespace godot {

using engine_double::internal::ObjectAccess;
using engine_double::internal::ObjectState;

Wrapped::~Wrapped() = default;

const StringName &Wrapped::get_class_static() {
	static const StringName name("Wrapped");
	return name;
}

const StringName &Object::get_class_static() {
	static const StringName name("Object");
	return name;
}

Object::Object() :
        Object(false) {}

Object::Object(bool p_ref_counted) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::ensure_engine_classes();
	_state = new ObjectState();
	_instance_id = engine_double::internal::object_db_add(this, p_ref_counted);
}

Object::~Object() {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_state->birth);
	// Leave the ObjectDB first: from here on, Variants and callables see a freed object.
	engine_double::internal::object_db_remove(_instance_id);
	delete _state;
	_state = nullptr;
}

uint64_t Object::get_instance_id() const {
	ENGINE_DOUBLE_CROSSING;
	return _instance_id;
}

String Object::get_class() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	return String(_get_class_namev());
}

bool Object::is_class(const String &p_class) const {
	ENGINE_DOUBLE_CROSSING;
	return _is_classv(StringName(p_class));
}

String Object::to_string() {
	ENGINE_DOUBLE_CROSSINGS(2);
	if (_state->script_instance) {
		String text;
		if (_state->script_instance->to_string(text)) {
			return text;
		}
	}
	String text;
	if (_double_to_string_hook(text)) {
		return text;
	}
	return "<" + get_class() + "#" + itos(int64_t(_instance_id)) + ">";
}

Variant Object::get_script() const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, GET_SCRIPT);
	return _state->script;
}

void Object::set_script(const Variant &p_script) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_state->birth);
	ObjectState &state = *_state;
	if (p_script.get_type() == Variant::NIL || (p_script.get_type() == Variant::OBJECT && p_script.get_validated_object() == nullptr)) {
		state.script_instance.reset();
		state.script = Variant();
		if (!_is_classv(engine_double::ScriptDouble::get_class_static())) {
			state.logged = false;
		}
		return;
	}
	engine_double::ScriptDouble *script = Object::cast_to<engine_double::ScriptDouble>(p_script.get_validated_object());
	ERR_FAIL_NULL_MSG(script, "Cannot set object script. Parameter should be null or a reference to a valid script.");
	if (state.script_instance && state.script_instance->script().ptr() == script) {
		return;
	}
	state.script_instance = std::make_unique<engine_double::internal::ScriptInstance>(Ref<engine_double::ScriptDouble>(script), this);
	state.script = p_script;
	const String file = engine_double::internal::script_file_name(script->get_path());
	ObjectAccess::set_logged(this, file.is_empty() ? engine_double::internal::script_display_name(script) : file);
}

Variant Object::get_meta(const StringName &p_name, const Variant &p_default) const {
	ENGINE_DOUBLE_CROSSINGS(2);
	if (!_state->metadata.has(p_name)) {
		if (p_default.get_type() != Variant::NIL) {
			return p_default;
		}
		ERR_FAIL_V_MSG(Variant(), "The object does not have any 'meta' values with the key '" + String(p_name) + "'.");
	}
	return _state->metadata.get(p_name, Variant());
}

void Object::set_meta(const StringName &p_name, const Variant &p_value) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_state->birth);
	if (p_value.get_type() == Variant::NIL) {
		remove_meta(p_name);
		return;
	}
	_state->metadata[p_name] = p_value;
}

void Object::remove_meta(const StringName &p_name) {
	ENGINE_DOUBLE_CROSSING;
	engine_double::internal::note_write(_state->birth);
	_state->metadata.erase(p_name);
}

bool Object::has_meta(const StringName &p_name) const {
	ENGINE_DOUBLE_CROSSING;
	return _state->metadata.has(p_name);
}

namespace {

Dictionary property_dictionary(const PropertyInfo &p_info) {
	Dictionary info;
	info["name"] = p_info.name;
	info["class_name"] = p_info.class_name;
	info["type"] = int64_t(p_info.type);
	info["hint"] = int64_t(p_info.hint);
	info["hint_string"] = p_info.hint_string;
	info["usage"] = int64_t(p_info.usage);
	return info;
}

Dictionary method_dictionary(const StringName &p_name, const std::vector<PropertyInfo> &p_arguments, const std::vector<Variant> &p_defaults, uint32_t p_flags, const PropertyInfo &p_return) {
	Dictionary method;
	method["name"] = p_name;
	Array arguments;
	for (const PropertyInfo &argument : p_arguments) {
		arguments.push_back(property_dictionary(argument));
	}
	method["args"] = arguments;
	Array defaults;
	for (const Variant &value : p_defaults) {
		defaults.push_back(value);
	}
	method["default_args"] = defaults;
	method["flags"] = int64_t(p_flags);
	method["id"] = int64_t(0);
	method["return"] = property_dictionary(p_return);
	return method;
}

} // namespace

TypedArray<Dictionary> Object::get_method_list() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	TypedArray<Dictionary> list;
	for (const engine_double::internal::ClassRecord *record = ObjectAccess::class_record(this); record != nullptr; record = record->parent) {
		for (const std::unique_ptr<MethodBind> &bind : record->method_order) {
			list.push_back(method_dictionary(bind->get_name(), bind->_arguments(), bind->get_default_arguments(), bind->get_hint_flags(), bind->get_return_info()));
		}
	}
	if (_state->script_instance) {
		for (const engine_double::internal::ScriptDefinition *definition = &_state->script_instance->definition(); definition != nullptr; definition = definition->base.is_valid() ? &definition->base->_get_definition() : nullptr) {
			for (const StringName &name : definition->method_order) {
				const engine_double::internal::ScriptMethod &method = definition->methods.at(name);
				std::vector<PropertyInfo> arguments;
				for (const engine_double::ScriptParameter &parameter : method.parameters) {
					arguments.push_back(PropertyInfo(parameter.type, parameter.name));
				}
				list.push_back(method_dictionary(name, arguments, method.defaults, METHOD_FLAGS_DEFAULT, PropertyInfo(method.return_type, StringName())));
			}
		}
	}
	return list;
}

TypedArray<Dictionary> Object::get_signal_list() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	TypedArray<Dictionary> list;
	for (const engine_double::internal::ClassRecord *record = ObjectAccess::class_record(this); record != nullptr; record = record->parent) {
		for (const MethodInfo &signal : record->signals) {
			list.push_back(method_dictionary(signal.name, signal.arguments, signal.default_arguments, signal.flags, signal.return_val));
		}
	}
	if (_state->script_instance) {
		for (const engine_double::internal::ScriptDefinition *definition = &_state->script_instance->definition(); definition != nullptr; definition = definition->base.is_valid() ? &definition->base->_get_definition() : nullptr) {
			for (const StringName &name : definition->signal_order) {
				std::vector<PropertyInfo> arguments;
				for (const StringName &argument : definition->signals.at(name).argument_names) {
					arguments.push_back(PropertyInfo(Variant::NIL, argument));
				}
				list.push_back(method_dictionary(name, arguments, {}, METHOD_FLAGS_DEFAULT, PropertyInfo()));
			}
		}
	}
	return list;
}

} // namespace godot
