#include "callable_bind.hpp"

#include <engine_double/internal/object_seam.hpp>
#include <godot_cpp/variant/array.hpp>

#include <algorithm>

namespace engine_double::internal {

namespace {

void bound_arguments_of(const godot::Callable &p_callable, std::vector<godot::Variant> &r_arguments) {
	const EngineCallableCustom *custom = p_callable._get_data() ? p_callable._get_data()->engine_custom : nullptr;
	if (custom != nullptr) {
		custom->get_bound_arguments(r_arguments);
	} else {
		r_arguments.clear();
	}
}

} // namespace

CallableCustomBind::CallableCustomBind(const godot::Callable &p_callable, std::vector<godot::Variant> p_binds) :
        _callable(p_callable),
        _binds(std::move(p_binds)) {}

// Bound values do not take part in equality or hashing: only the inner callable and the
// number of binds do, as in the engine.
bool CallableCustomBind::_equal(const godot::CallableCustom *p_a, const godot::CallableCustom *p_b) {
	const CallableCustomBind *a = static_cast<const CallableCustomBind *>(p_a);
	const CallableCustomBind *b = static_cast<const CallableCustomBind *>(p_b);
	return a->_callable == b->_callable && a->_binds.size() == b->_binds.size();
}

bool CallableCustomBind::_less(const godot::CallableCustom *p_a, const godot::CallableCustom *p_b) {
	const CallableCustomBind *a = static_cast<const CallableCustomBind *>(p_a);
	const CallableCustomBind *b = static_cast<const CallableCustomBind *>(p_b);
	if (a->_callable.hash() != b->_callable.hash()) {
		return a->_callable.hash() < b->_callable.hash();
	}
	return a->_binds.size() < b->_binds.size();
}

uint32_t CallableCustomBind::hash() const {
	return uint32_t(_callable.hash());
}

godot::String CallableCustomBind::get_as_text() const {
	return callable_text(_callable);
}

bool CallableCustomBind::is_valid() const {
	return _callable.is_valid();
}

godot::ObjectID CallableCustomBind::get_object() const {
	return godot::ObjectID(uint64_t(_callable.get_object_id()));
}

int CallableCustomBind::get_argument_count(bool &r_is_valid) const {
	const int64_t count = callable_argument_count(_callable, r_is_valid);
	return r_is_valid ? int(count) - int(_binds.size()) : 0;
}

void CallableCustomBind::call(const godot::Variant **p_arguments, int p_argcount, godot::Variant &r_return_value, GDExtensionCallError &r_call_error) const {
	// The call's own arguments first, then the bound ones.
	std::vector<const godot::Variant *> arguments(size_t(p_argcount) + _binds.size() + 1);
	for (int i = 0; i < p_argcount; i++) {
		arguments[size_t(i)] = p_arguments[i];
	}
	for (size_t i = 0; i < _binds.size(); i++) {
		arguments[size_t(p_argcount) + i] = &_binds[i];
	}
	_callable.callp(arguments.data(), p_argcount + int(_binds.size()), r_return_value, r_call_error);
}

bool CallableCustomBind::get_method(godot::StringName &r_method) const {
	r_method = _callable.get_method();
	return true;
}

int CallableCustomBind::get_bound_arguments_count() const {
	return int(_callable.get_bound_arguments_count()) + std::max(0, int(_binds.size()) - int(_callable.get_unbound_arguments_count()));
}

void CallableCustomBind::get_bound_arguments(std::vector<godot::Variant> &r_arguments) const {
	std::vector<godot::Variant> inner;
	bound_arguments_of(_callable, inner);
	const int inner_unbound = int(_callable.get_unbound_arguments_count());
	if (inner.empty() && inner_unbound == 0) {
		r_arguments = _binds;
		return;
	}
	// Binds consumed by the inner unbind do not count; the rest come before the inner ones.
	const int added = std::max(0, int(_binds.size()) - inner_unbound);
	if (added <= 0) {
		r_arguments = inner;
		return;
	}
	r_arguments.clear();
	r_arguments.reserve(size_t(added) + inner.size());
	for (int i = 0; i < added; i++) {
		r_arguments.push_back(_binds[size_t(i)]);
	}
	for (const godot::Variant &argument : inner) {
		r_arguments.push_back(argument);
	}
}

int CallableCustomBind::get_unbound_arguments_count() const {
	return std::max(0, int(_callable.get_unbound_arguments_count()) - int(_binds.size()));
}

const godot::Callable *CallableCustomBind::get_base_comparator() const {
	return &callable_base_comparator(_callable);
}

CallableCustomUnbind::CallableCustomUnbind(const godot::Callable &p_callable, int p_argcount) :
        _callable(p_callable),
        _argcount(p_argcount) {}

bool CallableCustomUnbind::_equal(const godot::CallableCustom *p_a, const godot::CallableCustom *p_b) {
	const CallableCustomUnbind *a = static_cast<const CallableCustomUnbind *>(p_a);
	const CallableCustomUnbind *b = static_cast<const CallableCustomUnbind *>(p_b);
	return a->_callable == b->_callable && a->_argcount == b->_argcount;
}

bool CallableCustomUnbind::_less(const godot::CallableCustom *p_a, const godot::CallableCustom *p_b) {
	const CallableCustomUnbind *a = static_cast<const CallableCustomUnbind *>(p_a);
	const CallableCustomUnbind *b = static_cast<const CallableCustomUnbind *>(p_b);
	if (a->_callable.hash() != b->_callable.hash()) {
		return a->_callable.hash() < b->_callable.hash();
	}
	return a->_argcount < b->_argcount;
}

uint32_t CallableCustomUnbind::hash() const {
	return uint32_t(_callable.hash());
}

godot::String CallableCustomUnbind::get_as_text() const {
	return callable_text(_callable);
}

bool CallableCustomUnbind::is_valid() const {
	return _callable.is_valid();
}

godot::ObjectID CallableCustomUnbind::get_object() const {
	return godot::ObjectID(uint64_t(_callable.get_object_id()));
}

int CallableCustomUnbind::get_argument_count(bool &r_is_valid) const {
	const int64_t count = callable_argument_count(_callable, r_is_valid);
	return r_is_valid ? int(count) + _argcount : 0;
}

void CallableCustomUnbind::call(const godot::Variant **p_arguments, int p_argcount, godot::Variant &r_return_value, GDExtensionCallError &r_call_error) const {
	if (p_argcount < _argcount) {
		r_call_error.error = GDEXTENSION_CALL_ERROR_TOO_FEW_ARGUMENTS;
		r_call_error.expected = _argcount;
		return;
	}
	_callable.callp(p_arguments, p_argcount - _argcount, r_return_value, r_call_error);
}

bool CallableCustomUnbind::get_method(godot::StringName &r_method) const {
	r_method = _callable.get_method();
	return true;
}

int CallableCustomUnbind::get_bound_arguments_count() const {
	return int(_callable.get_bound_arguments_count());
}

void CallableCustomUnbind::get_bound_arguments(std::vector<godot::Variant> &r_arguments) const {
	bound_arguments_of(_callable, r_arguments);
}

int CallableCustomUnbind::get_unbound_arguments_count() const {
	return int(_callable.get_unbound_arguments_count()) + _argcount;
}

const godot::Callable *CallableCustomUnbind::get_base_comparator() const {
	return &callable_base_comparator(_callable);
}

const godot::Callable &callable_base_comparator(const godot::Callable &p_callable) {
	const EngineCallableCustom *custom = p_callable._get_data() ? p_callable._get_data()->engine_custom : nullptr;
	const godot::Callable *base = custom != nullptr ? custom->get_base_comparator() : nullptr;
	return base != nullptr ? *base : p_callable;
}

} // namespace engine_double::internal
