#pragma once

// A plug-in's own callable: subclass CallableCustom and wrap it with Callable(CallableCustom *);
// the Callable then owns it.

#include <gdextension_interface.h>
#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/object_id.hpp>
#include <godot_cpp/variant/string.hpp>

#include <cstdint>

namespace godot {

class Variant;

class ENGINE_DOUBLE_API CallableCustomBase {
public:
	virtual ObjectID get_object() const = 0;
	// Not valid (0) unless overridden.
	virtual int get_argument_count(bool &r_is_valid) const;
	virtual void call(const Variant **p_arguments, int p_argcount, Variant &r_return_value, GDExtensionCallError &r_call_error) const = 0;
	virtual ~CallableCustomBase();
};

class ENGINE_DOUBLE_API CallableCustom : public CallableCustomBase {
	friend class Callable;
	bool _referenced = false;

public:
	typedef bool (*CompareEqualFunc)(const CallableCustom *p_a, const CallableCustom *p_b);
	typedef bool (*CompareLessFunc)(const CallableCustom *p_a, const CallableCustom *p_b);

	virtual uint32_t hash() const = 0;
	virtual String get_as_text() const = 0;
	virtual CompareEqualFunc get_compare_equal_func() const = 0;
	virtual CompareLessFunc get_compare_less_func() const = 0;
	// By default, valid while the object it names is alive (as in the engine).
	virtual bool is_valid() const;
	ObjectID get_object() const override = 0;
	void call(const Variant **p_arguments, int p_argcount, Variant &r_return_value, GDExtensionCallError &r_call_error) const override = 0;
};

} // namespace godot
