#pragma once

// bind() and unbind() wrappers, with the engine's counting rules.

#include "callable_data.hpp"

namespace engine_double::internal {

class CallableCustomBind : public EngineCallableCustom {
	godot::Callable _callable;
	std::vector<godot::Variant> _binds;

	static bool _equal(const godot::CallableCustom *p_a, const godot::CallableCustom *p_b);
	static bool _less(const godot::CallableCustom *p_a, const godot::CallableCustom *p_b);

public:
	CallableCustomBind(const godot::Callable &p_callable, std::vector<godot::Variant> p_binds);

	uint32_t hash() const override;
	godot::String get_as_text() const override;
	CompareEqualFunc get_compare_equal_func() const override { return &_equal; }
	CompareLessFunc get_compare_less_func() const override { return &_less; }
	bool is_valid() const override;
	godot::ObjectID get_object() const override;
	int get_argument_count(bool &r_is_valid) const override;
	void call(const godot::Variant **p_arguments, int p_argcount, godot::Variant &r_return_value, GDExtensionCallError &r_call_error) const override;

	bool get_method(godot::StringName &r_method) const override;
	int get_bound_arguments_count() const override;
	void get_bound_arguments(std::vector<godot::Variant> &r_arguments) const override;
	int get_unbound_arguments_count() const override;
	const godot::Callable *get_base_comparator() const override;
};

class CallableCustomUnbind : public EngineCallableCustom {
	godot::Callable _callable;
	int _argcount;

	static bool _equal(const godot::CallableCustom *p_a, const godot::CallableCustom *p_b);
	static bool _less(const godot::CallableCustom *p_a, const godot::CallableCustom *p_b);

public:
	CallableCustomUnbind(const godot::Callable &p_callable, int p_argcount);

	uint32_t hash() const override;
	godot::String get_as_text() const override;
	CompareEqualFunc get_compare_equal_func() const override { return &_equal; }
	CompareLessFunc get_compare_less_func() const override { return &_less; }
	bool is_valid() const override;
	godot::ObjectID get_object() const override;
	int get_argument_count(bool &r_is_valid) const override;
	void call(const godot::Variant **p_arguments, int p_argcount, godot::Variant &r_return_value, GDExtensionCallError &r_call_error) const override;

	bool get_method(godot::StringName &r_method) const override;
	int get_bound_arguments_count() const override;
	void get_bound_arguments(std::vector<godot::Variant> &r_arguments) const override;
	int get_unbound_arguments_count() const override;
	const godot::Callable *get_base_comparator() const override;
};

} // namespace engine_double::internal
