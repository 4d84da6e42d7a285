// The engine's own classes as the double provides them: Object, RefCounted, Resource,
// Script and GDScript, registered with the natives that scripts and plug-ins reach by name.

#include "class_registry.hpp"
#include "deferred_calls.hpp"
#include "object_state.hpp"

#include <engine_double/internal/object_seam.hpp>
#include <engine_double/internal/object_type_hooks.hpp>
#include <engine_double/script_double.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/classes/resource.hpp>
#include <godot_cpp/classes/script.hpp>

#include <atomic>
#include <mutex>

namespace godot {

const StringName &RefCounted::get_class_static() {
	static const StringName name("RefCounted");
	return name;
}

const StringName &Resource::get_class_static() {
	static const StringName name("Resource");
	return name;
}

const StringName &Script::get_class_static() {
	static const StringName name("Script");
	return name;
}

RefCounted::RefCounted() :
        Object(true) {}

RefCounted::~RefCounted() = default;

bool RefCounted::reference() {
	// Only a live count may grow: an object already on its way out stays dead.
	int32_t count = _refcount.load(std::memory_order_relaxed);
	while (count != 0) {
		if (_refcount.compare_exchange_weak(count, count + 1, std::memory_order_acq_rel)) {
			return true;
		}
	}
	return false;
}

bool RefCounted::unreference() {
	// A dead count stays dead; otherwise the holder that takes it to zero frees the object.
	if (_refcount.load(std::memory_order_relaxed) == 0) {
		return false;
	}
	return _refcount.fetch_sub(1, std::memory_order_acq_rel) == 1;
}

bool RefCounted::init_ref() {
	if (!reference()) {
		return false;
	}
	// The first holder takes over the initial reference instead of adding one.
	if (_refcount_init.load(std::memory_order_relaxed) == 1) {
		int32_t expected = 1;
		if (_refcount_init.compare_exchange_strong(expected, 0, std::memory_order_acq_rel)) {
			unreference();
		}
	}
	return true;
}

int32_t RefCounted::get_reference_count() const {
	return _refcount.load(std::memory_order_relaxed);
}

void Resource::set_path(const String &p_path) {
	_path = p_path;
}

String Resource::get_path() const {
	return _path;
}

Dictionary Script::get_script_constant_map() {
	return _double_constant_map();
}

bool Script::has_script_method(const StringName &p_method) const {
	return _double_has_script_method(p_method);
}

bool Script::has_script_signal(const StringName &p_signal) const {
	return _double_has_script_signal(p_signal);
}

StringName Script::get_instance_base_type() const {
	return _double_instance_base_type();
}

StringName Script::get_global_name() const {
	return _double_global_name();
}

Ref<Script> Script::get_base_script() const {
	return _double_base_script();
}

bool Script::can_instantiate() const {
	return !_double_instance_base_type().is_empty();
}

namespace {

// Object.call / call_deferred / emit_signal take the method or signal name first.
bool take_name(const Variant **p_args, int p_argcount, StringName &r_name, GDExtensionCallError &r_error) {
	if (p_argcount < 1) {
		r_error.error = GDEXTENSION_CALL_ERROR_TOO_FEW_ARGUMENTS;
		r_error.expected = 1;
		return false;
	}
	const Variant::Type type = p_args[0]->get_type();
	if (type != Variant::STRING && type != Variant::STRING_NAME) {
		r_error.error = GDEXTENSION_CALL_ERROR_INVALID_ARGUMENT;
		r_error.argument = 0;
		r_error.expected = Variant::STRING_NAME;
		return false;
	}
	r_name = p_args[0]->operator StringName();
	return true;
}

void call_native(const MethodBind &, Object *p_instance, const Variant **p_args, int p_argcount, Variant &r_ret, GDExtensionCallError &r_error) {
	StringName method;
	if (take_name(p_args, p_argcount, method, r_error)) {
		r_ret = engine_double::internal::ObjectAccess::callp(p_instance, method, p_args + 1, p_argcount - 1, r_error);
	}
}

void call_deferred_native(const MethodBind &, Object *p_instance, const Variant **p_args, int p_argcount, Variant &r_ret, GDExtensionCallError &r_error) {
	StringName method;
	if (take_name(p_args, p_argcount, method, r_error)) {
		std::vector<Variant> arguments;
		for (int i = 1; i < p_argcount; i++) {
			arguments.push_back(*p_args[i]);
		}
		engine_double::internal::deferred_push(Callable(p_instance, method), std::move(arguments));
	}
}

void emit_signal_native(const MethodBind &, Object *p_instance, const Variant **p_args, int p_argcount, Variant &r_ret, GDExtensionCallError &r_error) {
	StringName signal;
	if (take_name(p_args, p_argcount, signal, r_error)) {
		r_ret = int64_t(engine_double::internal::ObjectAccess::emit_signal(p_instance, signal, p_args + 1, p_argcount - 1));
	}
}

void bind_vararg_native(const char *p_name, MethodBind::CallFunction p_call, Variant::Type p_first_type, bool p_returns_int) {
	MethodBind *bind = new MethodBind();
	bind->set_instance_class(Object::get_class_static());
	bind->set_name(p_name);
	bind->_arguments() = { PropertyInfo(p_first_type, p_first_type == Variant::STRING_NAME ? StringName("method") : StringName("signal")) };
	if (p_returns_int) {
		bind->set_return_info(PropertyInfo(Variant::INT, StringName()), true);
	} else {
		bind->set_return_info(PropertyInfo(Variant::NIL, StringName(), PROPERTY_HINT_NONE, String(), PROPERTY_USAGE_DEFAULT | PROPERTY_USAGE_NIL_IS_VARIANT), true);
	}
	bind->set_vararg(true);
	bind->set_method(0, p_call);
	ClassDB::_bind_vararg(METHOD_FLAGS_DEFAULT | METHOD_FLAG_VARARG, bind);
}

} // namespace

void Object::_bind_methods() {
	ClassDB::bind_method(D_METHOD("get", "property"), &Object::get);
	ClassDB::bind_method(D_METHOD("set", "property", "value"), &Object::set);
	ClassDB::bind_method(D_METHOD("callv", "method", "arg_array"), &Object::callv);
	ClassDB::bind_method(D_METHOD("has_method", "method"), &Object::has_method);
	ClassDB::bind_method(D_METHOD("get_method_argument_count", "method"), &Object::get_method_argument_count);
	ClassDB::bind_method(D_METHOD("get_script"), &Object::get_script);
	ClassDB::bind_method(D_METHOD("set_script", "script"), &Object::set_script);
	ClassDB::bind_method(D_METHOD("is_class", "class"), &Object::is_class);
	ClassDB::bind_method(D_METHOD("get_class"), &Object::get_class);
	ClassDB::bind_method(D_METHOD("get_instance_id"), &Object::get_instance_id);
	ClassDB::bind_method(D_METHOD("to_string"), &Object::to_string);
	// A nil with static storage: copying a temporary one, GCC for aarch64 takes its unused
	// payload bytes for uninitialized.
	static const Variant nil_default;
	ClassDB::bind_method(D_METHOD("get_meta", "name", "default"), &Object::get_meta, DEFVAL(nil_default));
	ClassDB::bind_method(D_METHOD("set_meta", "name", "value"), &Object::set_meta);
	ClassDB::bind_method(D_METHOD("remove_meta", "name"), &Object::remove_meta);
	ClassDB::bind_method(D_METHOD("has_meta", "name"), &Object::has_meta);
	ClassDB::bind_method(D_METHOD("has_signal", "signal"), &Object::has_signal);
	ClassDB::bind_method(D_METHOD("connect", "signal", "callable", "flags"), &Object::connect, DEFVAL(0));
	ClassDB::bind_method(D_METHOD("disconnect", "signal", "callable"), &Object::disconnect);
	ClassDB::bind_method(D_METHOD("is_connected", "signal", "callable"), &Object::is_connected);
	ClassDB::bind_method(D_METHOD("get_method_list"), &Object::get_method_list);
	ClassDB::bind_method(D_METHOD("get_signal_list"), &Object::get_signal_list);
	bind_vararg_native("call", &call_native, Variant::STRING_NAME, false);
	bind_vararg_native("call_deferred", &call_deferred_native, Variant::STRING_NAME, false);
	bind_vararg_native("emit_signal", &emit_signal_native, Variant::STRING_NAME, true);
}

void RefCounted::_bind_methods() {
	ClassDB::bind_method(D_METHOD("init_ref"), &RefCounted::init_ref);
	ClassDB::bind_method(D_METHOD("reference"), &RefCounted::reference);
	ClassDB::bind_method(D_METHOD("unreference"), &RefCounted::unreference);
	ClassDB::bind_method(D_METHOD("get_reference_count"), &RefCounted::get_reference_count);
}

void Resource::_bind_methods() {
	ClassDB::bind_method(D_METHOD("set_path", "path"), &Resource::set_path);
	ClassDB::bind_method(D_METHOD("get_path"), &Resource::get_path);
	ClassDB::add_property(get_class_static(), PropertyInfo(Variant::STRING, "resource_path"), "set_path", "get_path");
}

void Script::_bind_methods() {
	ClassDB::bind_method(D_METHOD("get_script_constant_map"), &Script::get_script_constant_map);
	ClassDB::bind_method(D_METHOD("has_script_method", "method_name"), &Script::has_script_method);
	ClassDB::bind_method(D_METHOD("has_script_signal", "signal_name"), &Script::has_script_signal);
	ClassDB::bind_method(D_METHOD("get_instance_base_type"), &Script::get_instance_base_type);
	ClassDB::bind_method(D_METHOD("get_global_name"), &Script::get_global_name);
	ClassDB::bind_method(D_METHOD("get_base_script"), &Script::get_base_script);
	ClassDB::bind_method(D_METHOD("can_instantiate"), &Script::can_instantiate);
}

} // namespace godot

namespace engine_double::internal {

namespace {

godot::StringName hook_class_name(const godot::Object *p_object) {
	return p_object->_get_class_namev();
}

bool hook_is_parent_class(const godot::StringName &p_class, const godot::StringName &p_base) {
	return p_class == p_base || godot::ClassDB::is_parent_class(p_class, p_base);
}

template <typename T>
godot::Object *create_engine_object() {
	return memnew(T);
}

void register_engine_class(const godot::StringName &p_name, const godot::StringName &p_parent, godot::Object *(*p_creator)(), void (*p_bind_methods)()) {
	ClassRecord *record = class_record_for_registration(p_name);
	record->parent_name = p_parent;
	record->parent = p_parent.is_empty() ? nullptr : class_find(p_parent);
	record->is_engine_class = true;
	record->creator = p_creator;
	record->registered = true;
	class_append_order(record);
	p_bind_methods();
}

} // namespace

void ensure_engine_classes() {
	static std::atomic<bool> done { false };
	if (done.load(std::memory_order_acquire)) {
		return;
	}
	// Registration itself looks classes up: let those nested calls through.
	static thread_local bool registering = false;
	if (registering) {
		return;
	}
	static std::mutex mutex;
	std::lock_guard<std::mutex> lock(mutex);
	if (done.load(std::memory_order_relaxed)) {
		return;
	}
	registering = true;
	register_engine_class(godot::Object::get_class_static(), godot::StringName(), &create_engine_object<godot::Object>, &godot::Object::_bind_methods);
	register_engine_class(godot::RefCounted::get_class_static(), godot::Object::get_class_static(), &create_engine_object<godot::RefCounted>, &godot::RefCounted::_bind_methods);
	register_engine_class(godot::Resource::get_class_static(), godot::RefCounted::get_class_static(), &create_engine_object<godot::Resource>, &godot::Resource::_bind_methods);
	register_engine_class(godot::Script::get_class_static(), godot::Resource::get_class_static(), nullptr, &godot::Script::_bind_methods);
	register_engine_class(ScriptDouble::get_class_static(), godot::Script::get_class_static(), &create_engine_object<ScriptDouble>, &ScriptDouble::_bind_methods);
	registering = false;
	// Typed containers check object classes through these.
	ObjectTypeHooks hooks;
	hooks.class_name = &hook_class_name;
	hooks.is_parent_class = &hook_is_parent_class;
	set_object_type_hooks(hooks);
	done.store(true, std::memory_order_release);
}

} // namespace engine_double::internal
