#pragma once

// Class registration and method binding, with godot-cpp's spelling. The templates run in
// the plug-in and hand the engine type-erased records; the registry itself lives in the
// engine double's library, shared by every loaded plug-in.

#include <gdextension_interface.h>
#include <godot_cpp/classes/global_constants.hpp>
#include <godot_cpp/classes/wrapped.hpp>
#include <godot_cpp/core/method_bind.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/core/property_info.hpp>
#include <godot_cpp/godot.hpp>
#include <godot_cpp/variant/packed_string_array.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <type_traits>
#include <vector>

namespace godot {

struct MethodDefinition {
	StringName name;
	std::vector<StringName> args;

	MethodDefinition() = default;
	MethodDefinition(StringName p_name) :
	        name(p_name) {}
	MethodDefinition(const char *p_name) :
	        name(p_name) {}
};

template <typename... VarArgs>
MethodDefinition D_METHOD(StringName p_name, const VarArgs &...p_args) {
	MethodDefinition definition(p_name);
	definition.args = { StringName(p_args)... };
	return definition;
}

class ENGINE_DOUBLE_API ClassDB {
public:
	// What the plug-in tells the engine about a class it registers.
	struct ClassRegistration {
		StringName name;
		StringName parent_name;
		Object *(*creator)() = nullptr;
		void (*bind_methods)() = nullptr;
		bool declares_bind_methods = true;
		bool is_virtual = false;
		bool is_abstract = false;
		bool is_exposed = true;
		bool is_runtime = false;
	};

	// The level whose initializer is running (CORE outside any initializer).
	static ModuleInitializationLevel current_level();

private:
	template <typename T>
	static Object *_create_instance() {
		return memnew(T);
	}

	template <typename T, bool IS_ABSTRACT>
	static void _register_class(bool p_virtual, bool p_exposed, bool p_runtime) {
		static_assert(std::is_same_v<typename T::self_type, T>, "Class not declared properly, please use GDCLASS.");
		static_assert(!std::is_abstract_v<T> || IS_ABSTRACT, "Class is abstract, please use GDREGISTER_ABSTRACT_CLASS.");
		ClassRegistration registration;
		registration.name = T::get_class_static();
		registration.parent_name = T::get_parent_class_static();
		if constexpr (!IS_ABSTRACT) {
			registration.creator = &ClassDB::_create_instance<T>;
		}
		registration.bind_methods = &T::_bind_methods;
		registration.declares_bind_methods = T::_get_bind_methods() != T::_get_parent_bind_methods();
		registration.is_virtual = p_virtual;
		registration.is_abstract = IS_ABSTRACT;
		registration.is_exposed = p_exposed;
		registration.is_runtime = p_runtime;
		_register_class_record(registration);
	}

	static void _register_class_record(const ClassRegistration &p_registration);
	static std::vector<Variant> _collect_defaults(const Variant **p_defaults, int p_count);

public:
	template <typename T, bool is_abstract = false>
	static void register_class(bool p_virtual = false) {
		_register_class<T, is_abstract>(p_virtual, true, false);
	}
	template <typename T>
	static void register_abstract_class() {
		_register_class<T, true>(false, true, false);
	}
	template <typename T>
	static void register_internal_class() {
		_register_class<T, false>(false, false, false);
	}
	template <typename T>
	static void register_runtime_class() {
		_register_class<T, false>(false, true, true);
	}

	// Takes ownership of p_bind; on a registration error it is deleted and nullptr returned.
	static MethodBind *bind_methodfi(uint32_t p_flags, MethodBind *p_bind, const MethodDefinition &p_method_name, const void **p_defs, int p_defcount);

	template <typename N, typename M, typename... VarArgs>
	static MethodBind *bind_method(N p_method_name, M p_method, VarArgs... p_args) {
		const Variant defaults[sizeof...(p_args) + 1] = { Variant(p_args)..., Variant() };
		const Variant *pointers[sizeof...(p_args) + 1];
		// Not "<": with no arguments GCC 10 warns that "i < 0" is always false.
		for (size_t i = 0; i != sizeof...(p_args); i++) {
			pointers[i] = &defaults[i];
		}
		MethodBind *bind = create_method_bind(p_method);
		return bind_methodfi(METHOD_FLAGS_DEFAULT, bind, MethodDefinition(p_method_name), reinterpret_cast<const void **>(pointers), int(sizeof...(p_args)));
	}

	template <typename N, typename M, typename... VarArgs>
	static MethodBind *bind_static_method(StringName p_class, N p_method_name, M p_method, VarArgs... p_args) {
		const Variant defaults[sizeof...(p_args) + 1] = { Variant(p_args)..., Variant() };
		const Variant *pointers[sizeof...(p_args) + 1];
		// Not "<": with no arguments GCC 10 warns that "i < 0" is always false.
		for (size_t i = 0; i != sizeof...(p_args); i++) {
			pointers[i] = &defaults[i];
		}
		MethodBind *bind = create_static_method_bind(p_method);
		bind->set_instance_class(p_class);
		return bind_methodfi(METHOD_FLAGS_DEFAULT | METHOD_FLAG_STATIC, bind, MethodDefinition(p_method_name), reinterpret_cast<const void **>(pointers), int(sizeof...(p_args)));
	}

	template <typename M>
	static MethodBind *bind_vararg_method(uint32_t p_flags, StringName p_name, M p_method, const MethodInfo &p_info = MethodInfo(), const std::vector<Variant> &p_default_args = std::vector<Variant> {}, bool p_return_nil_is_variant = true) {
		MethodBind *bind = create_vararg_method_bind(p_method, p_info, p_return_nil_is_variant);
		bind->set_name(p_name);
		bind->set_default_arguments(p_default_args);
		return _bind_vararg(p_flags | METHOD_FLAG_VARARG, bind);
	}

	static MethodBind *_bind_vararg(uint32_t p_flags, MethodBind *p_bind);

	static void add_property_group(const StringName &p_class, const String &p_name, const String &p_prefix);
	static void add_property_subgroup(const StringName &p_class, const String &p_name, const String &p_prefix);
	static void add_property(const StringName &p_class, const PropertyInfo &p_pinfo, const StringName &p_setter, const StringName &p_getter, int p_index = -1);
	static void add_signal(const StringName &p_class, const MethodInfo &p_signal);
	static void bind_integer_constant(const StringName &p_class_name, const StringName &p_enum_name, const StringName &p_constant_name, GDExtensionInt p_constant_value, bool p_is_bitfield = false);

	static MethodBind *get_method(const StringName &p_class, const StringName &p_method);

	// The engine ClassDB singleton's queries.
	static bool class_exists(const StringName &p_class);
	static PackedStringArray get_class_list();
	static StringName get_parent_class(const StringName &p_class);
	static bool is_parent_class(const StringName &p_class, const StringName &p_inherits);
	static bool can_instantiate(const StringName &p_class);
	static Variant instantiate(const StringName &p_class);
	static bool class_has_method(const StringName &p_class, const StringName &p_method, bool p_no_inheritance = false);
	static bool class_has_signal(const StringName &p_class, const StringName &p_signal);
	static bool class_has_integer_constant(const StringName &p_class, const StringName &p_name);
	static int64_t class_get_integer_constant(const StringName &p_class, const StringName &p_name);

private:
	template <typename T, typename R>
	static MethodBind *create_vararg_method_bind(R (T::*p_method)(const Variant **, GDExtensionInt, GDExtensionCallError &), const MethodInfo &p_info, bool p_return_nil_is_variant) {
		MethodBind *bind = new MethodBind();
		bind->set_instance_class(T::get_class_static());
		bind->_arguments() = p_info.arguments;
		if constexpr (std::is_void_v<R>) {
			bind->set_return_info(PropertyInfo(), false);
		} else {
			PropertyInfo info = internal::argument_info<R>();
			if (p_return_nil_is_variant && info.type == Variant::NIL) {
				info.usage |= PROPERTY_USAGE_NIL_IS_VARIANT;
			}
			bind->set_return_info(info, true);
		}
		bind->set_vararg(true);
		bind->set_method(p_method, &internal::VarargMethodBindCaller<T, R>::call);
		return bind;
	}
};

} // namespace godot

#define DEFVAL(m_defval) (m_defval)

#define GDREGISTER_CLASS(m_class) ::godot::ClassDB::register_class<m_class>();
#define GDREGISTER_VIRTUAL_CLASS(m_class) ::godot::ClassDB::register_class<m_class>(true);
#define GDREGISTER_ABSTRACT_CLASS(m_class) ::godot::ClassDB::register_abstract_class<m_class>();
#define GDREGISTER_INTERNAL_CLASS(m_class) ::godot::ClassDB::register_internal_class<m_class>();
#define GDREGISTER_RUNTIME_CLASS(m_class) ::godot::ClassDB::register_runtime_class<m_class>();

#define BIND_CONSTANT(m_constant) \
	::godot::ClassDB::bind_integer_constant(get_class_static(), "", #m_constant, m_constant);
#define BIND_ENUM_CONSTANT(m_constant) \
	::godot::ClassDB::bind_integer_constant(get_class_static(), "", #m_constant, m_constant);
#define BIND_BITFIELD_FLAG(m_constant) \
	::godot::ClassDB::bind_integer_constant(get_class_static(), "", #m_constant, m_constant, true);
