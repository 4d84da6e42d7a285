// godot::Callable: standard and custom callables, calls, binds and introspection with the
// engine's rules.

#include "callable_bind.hpp"
#include "callable_data.hpp"
#include "deferred_calls.hpp"
#include "object_state.hpp"
#include <engine_double/internal/crossing.hpp>

#include <engine_double/internal/object_seam.hpp>
#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/script.hpp>
#include <godot_cpp/core/error_macros.hpp>
#include <godot_cpp/variant/array.hpp>

namespace engine_double::internal {

namespace {

uint32_t mix64(uint64_t p_value, uint32_t p_seed) {
	uint64_t h = p_value ^ (uint64_t(p_seed) * 0x9e3779b97f4a7c15ULL);
	h ^= h >> 33;
	h *= 0xff51afd7ed558ccdULL;
	h ^= h >> 33;
	h *= 0xc4ceb9fe1a85ec53ULL;
	h ^= h >> 33;
	return uint32_t(h);
}

} // namespace

uint32_t callable_standard_hash(uint64_t p_object_id, const godot::StringName &p_method) {
	return mix64(p_object_id, p_method._hash32());
}

godot::Callable make_engine_custom_callable(std::unique_ptr<EngineCallableCustom> p_custom) {
	auto data = std::make_shared<CallableData>();
	data->engine_custom = p_custom.get();
	data->custom = std::move(p_custom);
	return godot::Callable(std::move(data));
}

int64_t callable_argument_count(const godot::Callable &p_callable, bool &r_is_valid) {
	r_is_valid = false;
	const std::shared_ptr<CallableData> &data = p_callable._get_data();
	if (!data) {
		return 0;
	}
	if (data->is_custom()) {
		const int count = data->custom->get_argument_count(r_is_valid);
		return r_is_valid ? count : 0;
	}
	if (!p_callable.is_valid()) {
		return 0;
	}
	r_is_valid = true;
	return object_from_instance_id(data->object_id)->get_method_argument_count(data->method);
}

godot::String callable_text(const godot::Callable &p_callable) {
	const std::shared_ptr<CallableData> &data = p_callable._get_data();
	if (!data) {
		return "null::null";
	}
	if (data->is_custom()) {
		return data->custom->get_as_text();
	}
	godot::Object *base = object_from_instance_id(data->object_id);
	if (base == nullptr) {
		return "null::" + godot::String(data->method);
	}
	godot::String text = base->get_class();
	const godot::Variant &script = ObjectAccess::state(base).script;
	const godot::Script *resource = godot::Object::cast_to<godot::Script>(script.get_validated_object());
	if (resource != nullptr) {
		const godot::StringName global = resource->get_global_name();
		const godot::String path = resource->get_path();
		if (!global.is_empty()) {
			text += "(" + godot::String(global) + ")";
		} else if (path.begins_with("res://") && path.find("::") == -1) {
			const int64_t slash = path.rfind("/");
			text += "(" + path.substr(slash + 1) + ")";
		}
	}
	return text + "::" + godot::String(data->method);
}

} // namespace engine_double::internal

namespace godot {

using engine_double::internal::CallableData;

int CallableCustomBase::get_argument_count(bool &r_is_valid) const {
	r_is_valid = false;
	return 0;
}

CallableCustomBase::~CallableCustomBase() = default;

bool CallableCustom::is_valid() const {
	return engine_double::internal::object_from_instance_id(uint64_t(get_object())) != nullptr;
}

Callable::Callable(Object *p_object, const StringName &p_method) {
	ENGINE_DOUBLE_CROSSING;
	if (p_method.is_empty()) {
		ERR_FAIL_MSG("Method argument to Callable constructor must be a non-empty string.");
	}
	if (p_object == nullptr) {
		ERR_FAIL_MSG("Object argument to Callable constructor must be non-null.");
	}
	auto data = std::make_shared<CallableData>();
	data->object_id = p_object->get_instance_id();
	data->method = p_method;
	_data = std::move(data);
}

Callable::Callable(CallableCustom *p_custom) {
	ENGINE_DOUBLE_CROSSING;
	ERR_FAIL_NULL(p_custom);
	if (p_custom->_referenced) {
		ERR_FAIL_MSG("Callable custom is already referenced.");
	}
	p_custom->_referenced = true;
	auto data = std::make_shared<CallableData>();
	data->custom.reset(p_custom);
	_data = std::move(data);
}

bool Callable::is_valid() const {
	ENGINE_DOUBLE_CROSSING;
	if (!_data) {
		return false;
	}
	if (_data->is_custom()) {
		return _data->custom->is_valid();
	}
	Object *object = engine_double::internal::object_from_instance_id(_data->object_id);
	return object != nullptr && object->has_method(_data->method);
}

bool Callable::is_custom() const {
	ENGINE_DOUBLE_CROSSING;
	return _data && _data->is_custom();
}

bool Callable::is_standard() const {
	ENGINE_DOUBLE_CROSSING;
	return _data && !_data->is_custom();
}

void Callable::callp(const Variant **p_arguments, int p_argcount, Variant &r_return_value, GDExtensionCallError &r_call_error) const {
	ENGINE_DOUBLE_COSTED(CALLABLE_CALL);
	r_call_error.error = GDEXTENSION_CALL_OK;
	r_call_error.argument = 0;
	r_call_error.expected = 0;
	r_return_value = Variant();
	if (!_data) {
		r_call_error.error = GDEXTENSION_CALL_ERROR_INSTANCE_IS_NULL;
		return;
	}
	if (_data->is_custom()) {
		if (!_data->custom->is_valid()) {
			r_call_error.error = GDEXTENSION_CALL_ERROR_INSTANCE_IS_NULL;
			return;
		}
		try {
			// Custom callables stand in for engine and script functions in the double.
			const engine_double::internal::CrossingFrame frame(engine_double::internal::CROSSING_SCRIPT, p_argcount);
			_data->custom->call(p_arguments, p_argcount, r_return_value, r_call_error);
		} catch (...) {
			_err_print_error(FUNCTION_STR, __FILE__, __LINE__, "Exception thrown by custom callable '" + engine_double::internal::callable_text(*this) + "' (the engine would terminate).");
			r_return_value = Variant();
		}
		return;
	}
	Object *object = engine_double::internal::object_from_instance_id(_data->object_id);
	if (object == nullptr) {
		r_call_error.error = GDEXTENSION_CALL_ERROR_INSTANCE_IS_NULL;
		return;
	}
	r_return_value = engine_double::internal::ObjectAccess::callp(object, _data->method, p_arguments, p_argcount, r_call_error);
}

Variant Callable::callp(const Variant **p_arguments, int p_argcount) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, CALLABLE_CALL);
	Variant result;
	GDExtensionCallError error;
	callp(p_arguments, p_argcount, result, error);
	return result;
}

Variant Callable::callv(const Array &p_arguments) const {
	ENGINE_DOUBLE_COSTED_CROSSINGS(2, CALLABLE_CALL);
	const int64_t count = p_arguments.size();
	std::vector<const Variant *> pointers(size_t(count) + 1);
	for (int64_t i = 0; i < count; i++) {
		pointers[size_t(i)] = &p_arguments[i];
	}
	return callp(pointers.data(), int(count));
}

void Callable::_call_deferredp(const Variant **p_arguments, int p_argcount) const {
	std::vector<Variant> arguments;
	arguments.reserve(size_t(p_argcount));
	for (int i = 0; i < p_argcount; i++) {
		arguments.push_back(*p_arguments[i]);
	}
	engine_double::internal::deferred_push(*this, std::move(arguments));
}

Callable Callable::create(const Variant &p_variant, const StringName &p_method) {
	ENGINE_DOUBLE_CROSSINGS(2);
	if (p_variant.get_type() != Variant::OBJECT) {
		ERR_FAIL_V_MSG(Callable(), "Callables on values of type '" + Variant::get_type_name(p_variant.get_type()) + "' are not supported by the engine double.");
	}
	return Callable(p_variant.get_validated_object(), p_method);
}

Callable Callable::bindp(const Variant **p_arguments, int p_argcount) const {
	ENGINE_DOUBLE_CROSSINGS(2);
	std::vector<Variant> binds;
	binds.reserve(size_t(p_argcount));
	for (int i = 0; i < p_argcount; i++) {
		binds.push_back(*p_arguments[i]);
	}
	return engine_double::internal::make_engine_custom_callable(std::make_unique<engine_double::internal::CallableCustomBind>(*this, std::move(binds)));
}

Callable Callable::bindv(const Array &p_arguments) {
	ENGINE_DOUBLE_CROSSINGS(2);
	if (p_arguments.is_empty()) {
		return *this;
	}
	std::vector<Variant> binds;
	for (int64_t i = 0; i < p_arguments.size(); i++) {
		binds.push_back(p_arguments[i]);
	}
	return engine_double::internal::make_engine_custom_callable(std::make_unique<engine_double::internal::CallableCustomBind>(*this, std::move(binds)));
}

Callable Callable::unbind(int64_t p_argcount) const {
	ENGINE_DOUBLE_CROSSINGS(2);
	ERR_FAIL_COND_V_MSG(p_argcount <= 0, Callable(*this), "Amount of unbind() arguments must be 1 or greater.");
	return engine_double::internal::make_engine_custom_callable(std::make_unique<engine_double::internal::CallableCustomUnbind>(*this, int(p_argcount)));
}

StringName Callable::get_method() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	if (!_data) {
		return StringName();
	}
	if (!_data->is_custom()) {
		return _data->method;
	}
	StringName method;
	if (_data->engine_custom == nullptr || !_data->engine_custom->get_method(method)) {
		ERR_FAIL_V_MSG(StringName(), "Can't get method on CallableCustom \"" + _data->custom->get_as_text() + "\".");
	}
	return method;
}

Object *Callable::get_object() const {
	ENGINE_DOUBLE_CROSSING;
	return engine_double::internal::object_from_instance_id(uint64_t(get_object_id()));
}

int64_t Callable::get_object_id() const {
	ENGINE_DOUBLE_CROSSING;
	if (!_data) {
		return 0;
	}
	if (_data->is_custom()) {
		return int64_t(uint64_t(_data->custom->get_object()));
	}
	return int64_t(_data->object_id);
}

int64_t Callable::get_argument_count() const {
	ENGINE_DOUBLE_CROSSING;
	bool valid = false;
	return engine_double::internal::callable_argument_count(*this, valid);
}

int64_t Callable::get_bound_arguments_count() const {
	ENGINE_DOUBLE_CROSSING;
	if (_data && _data->engine_custom != nullptr) {
		return _data->engine_custom->get_bound_arguments_count();
	}
	return 0;
}

Array Callable::get_bound_arguments() const {
	ENGINE_DOUBLE_CROSSINGS(2);
	Array result;
	if (_data && _data->engine_custom != nullptr) {
		std::vector<Variant> arguments;
		_data->engine_custom->get_bound_arguments(arguments);
		for (const Variant &argument : arguments) {
			result.push_back(argument);
		}
	}
	return result;
}

int64_t Callable::get_unbound_arguments_count() const {
	ENGINE_DOUBLE_CROSSING;
	if (_data && _data->engine_custom != nullptr) {
		return _data->engine_custom->get_unbound_arguments_count();
	}
	return 0;
}

int64_t Callable::hash() const {
	ENGINE_DOUBLE_CROSSING;
	if (!_data) {
		return engine_double::internal::callable_standard_hash(0, StringName());
	}
	if (_data->is_custom()) {
		return _data->custom->hash();
	}
	return engine_double::internal::callable_standard_hash(_data->object_id, _data->method);
}

bool Callable::operator==(const Callable &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	if (_data == p_other._data) {
		return true;
	}
	const bool custom_a = is_custom();
	const bool custom_b = p_other.is_custom();
	if (custom_a != custom_b) {
		return false;
	}
	if (custom_a) {
		const CallableCustom::CompareEqualFunc equal_a = _data->custom->get_compare_equal_func();
		const CallableCustom::CompareEqualFunc equal_b = p_other._data->custom->get_compare_equal_func();
		return equal_a == equal_b && equal_a != nullptr && equal_a(_data->custom.get(), p_other._data->custom.get());
	}
	// A null callable is the standard callable with no object and no method.
	const uint64_t object_a = _data ? _data->object_id : 0;
	const uint64_t object_b = p_other._data ? p_other._data->object_id : 0;
	const StringName method_a = _data ? _data->method : StringName();
	const StringName method_b = p_other._data ? p_other._data->method : StringName();
	return object_a == object_b && method_a == method_b;
}

bool Callable::operator!=(const Callable &p_other) const {
	ENGINE_DOUBLE_CROSSING;
	return !(*this == p_other);
}

// godot-cpp evaluates these against a nil right-hand side, whatever the Variant holds.
bool Callable::operator==(const Variant &) const {
	ENGINE_DOUBLE_CROSSING;
	return false;
}

bool Callable::operator!=(const Variant &) const {
	ENGINE_DOUBLE_CROSSING;
	return true;
}

bool Callable::operator!() const {
	ENGINE_DOUBLE_CROSSING;
	return is_null();
}

} // namespace godot
