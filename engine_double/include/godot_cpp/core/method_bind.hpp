#pragma once

// A bound method: its name, argument and return descriptions, flags, defaults, and a
// type-erased call into the plug-in's member function. The plug-in fills it in through
// create_method_bind (a template compiled into the plug-in); the engine keeps it.

#include <gdextension_interface.h>
#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/core/binder_common.hpp>
#include <godot_cpp/core/property_info.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

namespace godot {

class Object;

class ENGINE_DOUBLE_API MethodBind {
public:
	using CallFunction = void (*)(const MethodBind &p_bind, Object *p_instance, const Variant **p_args, int p_argcount, Variant &r_ret, GDExtensionCallError &r_error);

private:
	static constexpr size_t STORAGE_SIZE = 32;

	StringName name;
	StringName instance_class;
	std::vector<PropertyInfo> arguments;
	PropertyInfo return_info;
	std::vector<Variant> default_arguments;
	uint32_t hint_flags = METHOD_FLAGS_DEFAULT;
	bool _has_return = false;
	bool _is_const = false;
	bool _is_static = false;
	bool _is_vararg = false;
	CallFunction call_function = nullptr;
	alignas(std::max_align_t) unsigned char method_storage[STORAGE_SIZE] = {};

public:
	MethodBind();
	~MethodBind();
	MethodBind(const MethodBind &) = delete;
	MethodBind &operator=(const MethodBind &) = delete;

	const StringName &get_name() const { return name; }
	void set_name(const StringName &p_name) { name = p_name; }
	const StringName &get_instance_class() const { return instance_class; }
	void set_instance_class(const StringName &p_class) { instance_class = p_class; }

	int get_argument_count() const { return int(arguments.size()); }
	const PropertyInfo &get_argument_info(int p_index) const { return arguments[size_t(p_index)]; }
	std::vector<PropertyInfo> &_arguments() { return arguments; }
	const std::vector<PropertyInfo> &_arguments() const { return arguments; }
	// Names from D_METHOD; missing ones stay empty, as in the engine.
	void set_argument_names(const std::vector<StringName> &p_names);
	std::vector<StringName> get_argument_names() const;

	const PropertyInfo &get_return_info() const { return return_info; }
	void set_return_info(const PropertyInfo &p_info, bool p_has_return) {
		return_info = p_info;
		_has_return = p_has_return;
	}
	bool has_return() const { return _has_return; }

	void set_default_arguments(const std::vector<Variant> &p_defaults) { default_arguments = p_defaults; }
	const std::vector<Variant> &get_default_arguments() const { return default_arguments; }
	int get_default_argument_count() const { return int(default_arguments.size()); }
	const Variant &get_default_argument(int p_index) const { return default_arguments[size_t(p_index)]; }

	uint32_t get_hint_flags() const;
	void set_hint_flags(uint32_t p_flags) { hint_flags = p_flags; }
	bool is_const() const { return _is_const; }
	void set_const(bool p_const) { _is_const = p_const; }
	bool is_static() const { return _is_static; }
	void set_static(bool p_static) { _is_static = p_static; }
	bool is_vararg() const { return _is_vararg; }
	void set_vararg(bool p_vararg) { _is_vararg = p_vararg; }

	template <typename M>
	void set_method(M p_method, CallFunction p_call) {
		static_assert(sizeof(M) <= STORAGE_SIZE, "method pointer too large");
		static_assert(std::is_trivially_copyable_v<M>, "method pointer must be trivially copyable");
		std::memcpy(method_storage, &p_method, sizeof(M));
		call_function = p_call;
	}
	template <typename M>
	M get_method() const {
		M method;
		std::memcpy(&method, method_storage, sizeof(M));
		return method;
	}

	// Runs the method with the engine's argument checks. A C++ exception escaping it is
	// caught and reported (the engine would terminate); the result is then nil.
	Variant call(Object *p_instance, const Variant **p_args, int p_argcount, GDExtensionCallError &r_error) const;
};

namespace internal {

// The call's arguments followed by the bind's defaults for the ones left out, as the engine
// fills them; false, with r_error set, when the count does not fit the method.
inline bool gather_arguments(const MethodBind &p_bind, const Variant **p_args, int p_argcount, int p_count, const Variant **r_arguments, GDExtensionCallError &r_error) {
	if (p_argcount > p_count) {
		r_error.error = GDEXTENSION_CALL_ERROR_TOO_MANY_ARGUMENTS;
		r_error.expected = p_count;
		return false;
	}
	const int missing = p_count - p_argcount;
	const int defaults = p_bind.get_default_argument_count();
	if (missing > defaults) {
		r_error.error = GDEXTENSION_CALL_ERROR_TOO_FEW_ARGUMENTS;
		r_error.expected = p_count;
		return false;
	}
	for (int i = 0; i < p_count; i++) {
		r_arguments[i] = i < p_argcount ? p_args[i] : &p_bind.get_default_argument(i - p_argcount + (defaults - missing));
	}
	r_error.error = GDEXTENSION_CALL_OK;
	return true;
}

template <typename T, typename R, bool IS_CONST, typename... P>
struct MethodBindCaller {
	using Method = std::conditional_t<IS_CONST, R (T::*)(P...) const, R (T::*)(P...)>;

	template <size_t... Is>
	static void invoke(T *p_self, Method p_method, const Variant **p_args, Variant &r_ret, std::index_sequence<Is...>) {
		if constexpr (std::is_void_v<R>) {
			(p_self->*p_method)(VariantCaster<std::decay_t<P>>::cast(*p_args[Is])...);
		} else {
			r_ret = return_to_variant<R>((p_self->*p_method)(VariantCaster<std::decay_t<P>>::cast(*p_args[Is])...));
		}
		(void)p_args;
	}

	static void call(const MethodBind &p_bind, Object *p_instance, const Variant **p_args, int p_argcount, Variant &r_ret, GDExtensionCallError &r_error) {
		constexpr int COUNT = int(sizeof...(P));
		const Variant *arguments[COUNT + 1] = {};
		if (!gather_arguments(p_bind, p_args, p_argcount, COUNT, arguments, r_error)) {
			return;
		}
#ifdef DEBUG_ENABLED
		validate_arguments<P...>(arguments, r_error);
#endif
		invoke(static_cast<T *>(p_instance), p_bind.get_method<Method>(), arguments, r_ret, std::index_sequence_for<P...>());
	}
};

template <typename R, typename... P>
struct StaticMethodBindCaller {
	using Method = R (*)(P...);

	template <size_t... Is>
	static void invoke(Method p_method, const Variant **p_args, Variant &r_ret, std::index_sequence<Is...>) {
		if constexpr (std::is_void_v<R>) {
			p_method(VariantCaster<std::decay_t<P>>::cast(*p_args[Is])...);
		} else {
			r_ret = return_to_variant<R>(p_method(VariantCaster<std::decay_t<P>>::cast(*p_args[Is])...));
		}
		(void)p_args;
	}

	static void call(const MethodBind &p_bind, Object *p_instance, const Variant **p_args, int p_argcount, Variant &r_ret, GDExtensionCallError &r_error) {
		constexpr int COUNT = int(sizeof...(P));
		const Variant *arguments[COUNT + 1] = {};
		if (!gather_arguments(p_bind, p_args, p_argcount, COUNT, arguments, r_error)) {
			return;
		}
#ifdef DEBUG_ENABLED
		validate_arguments<P...>(arguments, r_error);
#endif
		invoke(p_bind.get_method<Method>(), arguments, r_ret, std::index_sequence_for<P...>());
	}
};

template <typename T, typename R>
struct VarargMethodBindCaller {
	using Method = R (T::*)(const Variant **, GDExtensionInt, GDExtensionCallError &);

	static void call(const MethodBind &p_bind, Object *p_instance, const Variant **p_args, int p_argcount, Variant &r_ret, GDExtensionCallError &r_error) {
		r_error.error = GDEXTENSION_CALL_OK;
		T *self = static_cast<T *>(p_instance);
		const Method method = p_bind.get_method<Method>();
		if constexpr (std::is_void_v<R>) {
			(self->*method)(p_args, p_argcount, r_error);
		} else {
			r_ret = return_to_variant<R>((self->*method)(p_args, p_argcount, r_error));
		}
	}
};

template <typename T>
PropertyInfo argument_info() {
	return GetTypeInfo<std::decay_t<T>>::get_class_info();
}

template <typename R>
void describe_return(MethodBind *p_bind) {
	if constexpr (std::is_void_v<R>) {
		p_bind->set_return_info(PropertyInfo(), false);
	} else {
		p_bind->set_return_info(argument_info<R>(), true);
	}
}

} // namespace internal

template <typename T, typename R, typename... P>
MethodBind *create_method_bind(R (T::*p_method)(P...)) {
	MethodBind *bind = new MethodBind();
	bind->set_instance_class(T::get_class_static());
	bind->_arguments() = { internal::argument_info<P>()... };
	internal::describe_return<R>(bind);
	bind->set_method(p_method, &internal::MethodBindCaller<T, R, false, P...>::call);
	return bind;
}

template <typename T, typename R, typename... P>
MethodBind *create_method_bind(R (T::*p_method)(P...) const) {
	MethodBind *bind = new MethodBind();
	bind->set_instance_class(T::get_class_static());
	bind->_arguments() = { internal::argument_info<P>()... };
	internal::describe_return<R>(bind);
	bind->set_const(true);
	bind->set_method(p_method, &internal::MethodBindCaller<T, R, true, P...>::call);
	return bind;
}

template <typename R, typename... P>
MethodBind *create_static_method_bind(R (*p_method)(P...)) {
	MethodBind *bind = new MethodBind();
	bind->_arguments() = { internal::argument_info<P>()... };
	internal::describe_return<R>(bind);
	bind->set_static(true);
	bind->set_method(p_method, &internal::StaticMethodBindCaller<R, P...>::call);
	return bind;
}

} // namespace godot
