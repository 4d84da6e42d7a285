#pragma once

// What a Callable holds: a standard callable names an object by id and a method; a custom
// one owns a CallableCustom. Custom callables made by the engine itself (bind, unbind,
// lambdas) also answer the queries the engine's CallableCustom has and godot-cpp's lacks.

#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/callable_custom.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <memory>
#include <vector>

namespace engine_double::internal {

class EngineCallableCustom : public godot::CallableCustom {
public:
	// False when the callable has no method of its own (the engine then reports an error).
	virtual bool get_method(godot::StringName &r_method) const { return false; }
	virtual int get_bound_arguments_count() const { return 0; }
	virtual void get_bound_arguments(std::vector<godot::Variant> &r_arguments) const { r_arguments.clear(); }
	virtual int get_unbound_arguments_count() const { return 0; }
	// The callable that bind/unbind wrap, which signal connections compare by.
	virtual const godot::Callable *get_base_comparator() const { return nullptr; }
};

struct CallableData {
	uint64_t object_id = 0;
	godot::StringName method;
	std::unique_ptr<godot::CallableCustom> custom;
	// Set when custom is one of the engine's own.
	EngineCallableCustom *engine_custom = nullptr;

	bool is_custom() const { return custom != nullptr; }
};

// The engine's hash for a standard callable, shared by bind wrappers.
uint32_t callable_standard_hash(uint64_t p_object_id, const godot::StringName &p_method);

// Callable::get_argument_count with the engine's validity flag.
int64_t callable_argument_count(const godot::Callable &p_callable, bool &r_is_valid);

// The innermost callable under any bind/unbind wrappers.
const godot::Callable &callable_base_comparator(const godot::Callable &p_callable);

godot::Callable make_engine_custom_callable(std::unique_ptr<EngineCallableCustom> p_custom);

} // namespace engine_double::internal
