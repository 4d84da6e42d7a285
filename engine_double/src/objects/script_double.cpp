// ScriptDouble: the declarations of a test script, and the queries the engine asks of a
// Script resource.

#include "object_state.hpp"
#include "script_definition.hpp"

#include <godot_cpp/core/error_macros.hpp>

namespace engine_double {

namespace internal {

const ScriptMethod *ScriptDefinition::find_method(const godot::StringName &p_name) const {
	for (const ScriptDefinition *definition = this; definition != nullptr; definition = definition->base.is_valid() ? definition->base->_definition.get() : nullptr) {
		auto it = definition->methods.find(p_name);
		if (it != definition->methods.end()) {
			return &it->second;
		}
	}
	return nullptr;
}

const ScriptSignal *ScriptDefinition::find_signal(const godot::StringName &p_name) const {
	for (const ScriptDefinition *definition = this; definition != nullptr; definition = definition->base.is_valid() ? definition->base->_definition.get() : nullptr) {
		auto it = definition->signals.find(p_name);
		if (it != definition->signals.end()) {
			return &it->second;
		}
	}
	return nullptr;
}

bool ScriptDefinition::find_constant(const godot::StringName &p_name, godot::Variant &r_value) const {
	for (const ScriptDefinition *definition = this; definition != nullptr; definition = definition->base.is_valid() ? definition->base->_definition.get() : nullptr) {
		if (definition->constants.has(p_name)) {
			r_value = definition->constants.get(p_name, godot::Variant());
			return true;
		}
	}
	return false;
}

const ScriptAccessors *ScriptDefinition::find_accessors(const godot::StringName &p_member) const {
	for (const ScriptDefinition *definition = this; definition != nullptr; definition = definition->base.is_valid() ? definition->base->_definition.get() : nullptr) {
		auto it = definition->accessors.find(p_member);
		if (it != definition->accessors.end()) {
			return &it->second;
		}
	}
	return nullptr;
}

void ScriptDefinition::collect_members(std::vector<std::pair<godot::StringName, godot::Variant>> &r_members) const {
	if (base.is_valid()) {
		base->_definition->collect_members(r_members);
	}
	for (const godot::StringName &name : member_order) {
		r_members.emplace_back(name, members.at(name));
	}
}

void ScriptDefinition::collect_member_names(std::vector<godot::StringName> &r_names) const {
	if (base.is_valid()) {
		base->_definition->collect_member_names(r_names);
	}
	r_names.insert(r_names.end(), member_order.begin(), member_order.end());
}

godot::String script_file_name(const godot::String &p_path) {
	if (p_path.is_empty()) {
		return godot::String();
	}
	return p_path.substr(p_path.rfind("/") + 1);
}

godot::String script_display_name(const ScriptDouble *p_script) {
	const godot::StringName global = p_script->get_global_name();
	if (!global.is_empty()) {
		return godot::String(global);
	}
	return script_file_name(p_script->get_path());
}

} // namespace internal

const godot::StringName &ScriptDouble::get_class_static() {
	static const godot::StringName name("GDScript");
	return name;
}

void ScriptDouble::_bind_methods() {}

ScriptDouble::ScriptDouble() :
        _definition(std::make_unique<internal::ScriptDefinition>()) {
	internal::ObjectAccess::set_logged(this, "GDScript");
}

ScriptDouble::~ScriptDouble() = default;

godot::Ref<ScriptDouble> ScriptDouble::create(const godot::String &p_resource_path) {
	godot::Ref<ScriptDouble> script;
	script.instantiate();
	script->set_path(p_resource_path);
	const godot::String file = internal::script_file_name(p_resource_path);
	internal::ObjectAccess::set_logged(script.ptr(), "GDScript(" + file + ")");
	return script;
}

ScriptDouble &ScriptDouble::constant(const godot::StringName &p_name, const godot::Variant &p_value) {
	_definition->constants[p_name] = p_value;
	return *this;
}

ScriptDouble &ScriptDouble::member(const godot::StringName &p_name, const godot::Variant &p_initial) {
	if (_definition->members.find(p_name) == _definition->members.end()) {
		_definition->member_order.push_back(p_name);
	}
	_definition->members[p_name] = p_initial;
	return *this;
}

ScriptDouble &ScriptDouble::accessors(const godot::StringName &p_member, const godot::StringName &p_getter, const godot::StringName &p_setter) {
	_definition->accessors[p_member] = internal::ScriptAccessors { p_getter, p_setter };
	return *this;
}

ScriptDouble &ScriptDouble::method(const godot::StringName &p_name, int p_argument_count, ScriptFunction p_function) {
	std::vector<ScriptParameter> parameters;
	for (int i = 0; i < p_argument_count; i++) {
		parameters.push_back(ScriptParameter { godot::StringName("arg" + godot::itos(i)), godot::Variant::NIL });
	}
	return method(p_name, std::move(parameters), godot::Variant::NIL, std::move(p_function));
}

ScriptDouble &ScriptDouble::method(const godot::StringName &p_name, std::vector<ScriptParameter> p_parameters, godot::Variant::Type p_return_type, ScriptFunction p_function, std::vector<godot::Variant> p_defaults) {
	ERR_FAIL_COND_V_MSG(p_defaults.size() > p_parameters.size(), *this, "More defaults than parameters for script method '" + godot::String(p_name) + "'.");
	if (_definition->methods.find(p_name) == _definition->methods.end()) {
		_definition->method_order.push_back(p_name);
	}
	internal::ScriptMethod &method = _definition->methods[p_name];
	method.name = p_name;
	method.parameters = std::move(p_parameters);
	method.return_type = p_return_type;
	method.defaults = std::move(p_defaults);
	method.function = std::move(p_function);
	return *this;
}

ScriptDouble &ScriptDouble::signal(const godot::StringName &p_name, std::vector<godot::StringName> p_argument_names) {
	if (_definition->signals.find(p_name) == _definition->signals.end()) {
		_definition->signal_order.push_back(p_name);
	}
	_definition->signals[p_name] = internal::ScriptSignal { p_name, std::move(p_argument_names) };
	return *this;
}

ScriptDouble &ScriptDouble::global_name(const godot::StringName &p_name) {
	_definition->global_name = p_name;
	return *this;
}

ScriptDouble &ScriptDouble::extends(const godot::Ref<ScriptDouble> &p_base) {
	for (const ScriptDouble *check = p_base.ptr(); check != nullptr; check = check->_definition->base.ptr()) {
		ERR_FAIL_COND_V_MSG(check == this, *this, "A script cannot extend itself.");
	}
	_definition->base = p_base;
	return *this;
}

godot::Ref<godot::RefCounted> ScriptDouble::instantiate() {
	godot::Ref<godot::RefCounted> object;
	object.instantiate();
	object->set_script(godot::Variant(this));
	return object;
}

godot::Object *ScriptDouble::instantiate_object() {
	godot::Object *object = memnew(godot::Object);
	object->set_script(godot::Variant(this));
	return object;
}

godot::Dictionary ScriptDouble::_double_constant_map() const {
	// A new dictionary: the script's own constants only, keys as declared (StringName).
	return _definition->constants.duplicate(false);
}

bool ScriptDouble::_double_has_script_method(const godot::StringName &p_method) const {
	// Like GDScript::has_method: this script's own functions, not its bases'.
	return _definition->methods.find(p_method) != _definition->methods.end();
}

bool ScriptDouble::_double_has_script_signal(const godot::StringName &p_signal) const {
	return _definition->find_signal(p_signal) != nullptr;
}

godot::StringName ScriptDouble::_double_instance_base_type() const {
	return godot::RefCounted::get_class_static();
}

godot::StringName ScriptDouble::_double_global_name() const {
	return _definition->global_name;
}

godot::Ref<godot::Script> ScriptDouble::_double_base_script() const {
	return godot::Ref<godot::Script>(_definition->base);
}

godot::Dictionary script_state_snapshot(const godot::Object *p_object) {
	godot::Dictionary snapshot;
	if (p_object == nullptr) {
		return snapshot;
	}
	const internal::ObjectState &state = internal::ObjectAccess::state(p_object);
	if (state.script_instance) {
		snapshot = state.script_instance->snapshot();
	}
	return snapshot;
}

std::vector<godot::StringName> script_member_names(const godot::Object *p_object) {
	if (p_object == nullptr) {
		return {};
	}
	const internal::ObjectState &state = internal::ObjectAccess::state(p_object);
	return state.script_instance ? state.script_instance->member_names() : std::vector<godot::StringName>();
}

} // namespace engine_double
