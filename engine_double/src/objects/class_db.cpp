// godot::ClassDB: registration and binding with godot-cpp's checks and messages, and the
// engine ClassDB singleton's queries.

#include "class_registry.hpp"
#include "extension_init.hpp"

#include <godot_cpp/core/error_macros.hpp>

namespace godot {

using engine_double::internal::ClassRecord;

namespace {

String text(const StringName &p_name) {
	return String(p_name);
}

} // namespace

ModuleInitializationLevel ClassDB::current_level() {
	return engine_double::internal::class_registration_level();
}

void ClassDB::_register_class_record(const ClassRegistration &p_registration) {
	ERR_FAIL_COND_MSG(engine_double::internal::class_find(p_registration.name) != nullptr, "Class already registered: '" + text(p_registration.name) + "'.");
	ClassRecord *parent = engine_double::internal::class_find(p_registration.parent_name);
	ERR_FAIL_NULL_MSG(parent, "Parent class name for extension class not found: '" + text(p_registration.parent_name) + "'.");

	ClassRecord *record = engine_double::internal::class_record_for_registration(p_registration.name);
	record->clear_members();
	record->parent_name = p_registration.parent_name;
	record->parent = parent;
	record->is_engine_class = false;
	record->is_virtual = p_registration.is_virtual;
	record->is_abstract = p_registration.is_abstract;
	record->is_exposed = p_registration.is_exposed;
	record->is_runtime = p_registration.is_runtime;
	record->level = engine_double::internal::class_registration_level();
	record->extension = engine_double::internal::class_registration_extension();
	record->creator = (p_registration.is_virtual || p_registration.is_abstract) ? nullptr : p_registration.creator;
	record->registered = true;
	engine_double::internal::class_append_order(record);

	ERR_FAIL_COND_MSG(!p_registration.declares_bind_methods, "Class must declare 'static void _bind_methods'.");
	if (p_registration.bind_methods != nullptr) {
		try {
			p_registration.bind_methods();
		} catch (...) {
			ERR_PRINT("Exception thrown while binding the methods of '" + text(p_registration.name) + "' (the engine would terminate).");
		}
	}
}

std::vector<Variant> ClassDB::_collect_defaults(const Variant **p_defaults, int p_count) {
	std::vector<Variant> defaults;
	for (int i = 0; i < p_count; i++) {
		defaults.push_back(*p_defaults[i]);
	}
	return defaults;
}

MethodBind *ClassDB::bind_methodfi(uint32_t p_flags, MethodBind *p_bind, const MethodDefinition &p_method_name, const void **p_defs, int p_defcount) {
	std::unique_ptr<MethodBind> bind(p_bind);
	ERR_FAIL_NULL_V(p_bind, nullptr);
	const StringName class_name = p_bind->get_instance_class();
	ClassRecord *record = engine_double::internal::class_find(class_name);
	ERR_FAIL_NULL_V_MSG(record, nullptr, "Class '" + text(class_name) + "' doesn't exist.");
	ERR_FAIL_COND_V_MSG(record->methods.count(p_method_name.name) != 0, nullptr, "Binding duplicate method: " + text(class_name) + "::" + text(p_method_name.name) + "().");
	p_bind->set_name(p_method_name.name);
	ERR_FAIL_COND_V_MSG(int(p_method_name.args.size()) > p_bind->get_argument_count(), nullptr, "Method '" + text(class_name) + "::" + text(p_method_name.name) + "()' definition has more arguments than the actual method.");
	p_bind->set_hint_flags(p_flags & ~uint32_t(METHOD_FLAG_STATIC));
	p_bind->set_argument_names(p_method_name.args);
	p_bind->set_default_arguments(_collect_defaults(reinterpret_cast<const Variant **>(p_defs), p_defcount));
	if (record->is_engine_class) {
		engine_double::internal::class_mark_engine_method(p_bind);
	}
	record->methods[p_method_name.name] = p_bind;
	record->method_order.push_back(std::move(bind));
	return p_bind;
}

MethodBind *ClassDB::_bind_vararg(uint32_t p_flags, MethodBind *p_bind) {
	std::unique_ptr<MethodBind> bind(p_bind);
	ERR_FAIL_NULL_V(p_bind, nullptr);
	const StringName class_name = p_bind->get_instance_class();
	ClassRecord *record = engine_double::internal::class_find(class_name);
	ERR_FAIL_NULL_V_MSG(record, nullptr, "Class '" + text(class_name) + "' doesn't exist.");
	ERR_FAIL_COND_V_MSG(record->methods.count(p_bind->get_name()) != 0, nullptr, "Binding duplicate method: " + text(class_name) + "::" + text(p_bind->get_name()) + "().");
	p_bind->set_hint_flags(p_flags & ~uint32_t(METHOD_FLAG_VARARG));
	if (record->is_engine_class) {
		engine_double::internal::class_mark_engine_method(p_bind);
	}
	record->methods[p_bind->get_name()] = p_bind;
	record->method_order.push_back(std::move(bind));
	return p_bind;
}

void ClassDB::add_property_group(const StringName &p_class, const String &p_name, const String &p_prefix) {
	ERR_FAIL_NULL_MSG(engine_double::internal::class_find(p_class), "Trying to add property group '" + p_name + "' to non-existing class '" + text(p_class) + "'.");
}

void ClassDB::add_property_subgroup(const StringName &p_class, const String &p_name, const String &p_prefix) {
	ERR_FAIL_NULL_MSG(engine_double::internal::class_find(p_class), "Trying to add property subgroup '" + p_name + "' to non-existing class '" + text(p_class) + "'.");
}

void ClassDB::add_property(const StringName &p_class, const PropertyInfo &p_pinfo, const StringName &p_setter, const StringName &p_getter, int p_index) {
	ClassRecord *record = engine_double::internal::class_find(p_class);
	ERR_FAIL_NULL_MSG(record, "Trying to add property '" + text(p_pinfo.name) + "' to non-existing class '" + text(p_class) + "'.");
	ERR_FAIL_COND_MSG(record->property_index.count(p_pinfo.name) != 0, "Property '" + text(p_pinfo.name) + "' already exists in class '" + text(p_class) + "'.");
	const int index_arguments = p_index >= 0 ? 1 : 0;
	if (!p_setter.is_empty()) {
		MethodBind *setter = engine_double::internal::class_find_method(record, p_setter);
		ERR_FAIL_NULL_MSG(setter, "Setter method '" + text(p_class) + "::" + text(p_setter) + "()' not found for property '" + text(p_class) + "::" + text(p_pinfo.name) + "'.");
		ERR_FAIL_COND_MSG(setter->get_argument_count() != 1 + index_arguments, "Setter method '" + text(p_class) + "::" + text(p_setter) + "()' must take a single argument.");
	}
	ERR_FAIL_COND_MSG(p_getter.is_empty(), "Getter method must be specified for '" + text(p_class) + "::" + text(p_pinfo.name) + "'.");
	MethodBind *getter = engine_double::internal::class_find_method(record, p_getter);
	ERR_FAIL_NULL_MSG(getter, "Getter method '" + text(p_class) + "::" + text(p_getter) + "()' not found for property '" + text(p_class) + "::" + text(p_pinfo.name) + "'.");
	ERR_FAIL_COND_MSG(getter->get_argument_count() != index_arguments, "Getter method '" + text(p_class) + "::" + text(p_getter) + "()' must not take any argument.");
	record->property_index[p_pinfo.name] = record->properties.size();
	record->properties.push_back(engine_double::internal::PropertyRecord { p_pinfo, p_setter, p_getter });
}

void ClassDB::add_signal(const StringName &p_class, const MethodInfo &p_signal) {
	ClassRecord *record = engine_double::internal::class_find(p_class);
	ERR_FAIL_NULL_MSG(record, "Class '" + text(p_class) + "' doesn't exist.");
	ERR_FAIL_COND_MSG(engine_double::internal::class_find_signal(record, p_signal.name) != nullptr, "Class '" + text(p_class) + "' already has signal '" + text(p_signal.name) + "'.");
	record->signal_index[p_signal.name] = record->signals.size();
	record->signals.push_back(p_signal);
}

void ClassDB::bind_integer_constant(const StringName &p_class_name, const StringName &p_enum_name, const StringName &p_constant_name, GDExtensionInt p_constant_value, bool p_is_bitfield) {
	ClassRecord *record = engine_double::internal::class_find(p_class_name);
	ERR_FAIL_NULL_MSG(record, "Class '" + text(p_class_name) + "' doesn't exist.");
	ERR_FAIL_COND_MSG(record->constants.count(p_constant_name) != 0, "Constant '" + text(p_class_name) + "::" + text(p_constant_name) + "' already registered.");
	record->constants[p_constant_name] = p_constant_value;
	record->constant_order.push_back(p_constant_name);
}

MethodBind *ClassDB::get_method(const StringName &p_class, const StringName &p_method) {
	return engine_double::internal::class_find_method(engine_double::internal::class_find(p_class), p_method);
}

bool ClassDB::class_exists(const StringName &p_class) {
	return engine_double::internal::class_find(p_class) != nullptr;
}

PackedStringArray ClassDB::get_class_list() {
	PackedStringArray list;
	for (const ClassRecord *record : engine_double::internal::class_records_all()) {
		list.push_back(text(record->name));
	}
	return list;
}

StringName ClassDB::get_parent_class(const StringName &p_class) {
	const ClassRecord *record = engine_double::internal::class_find(p_class);
	return record != nullptr && record->parent != nullptr ? record->parent->name : StringName();
}

bool ClassDB::is_parent_class(const StringName &p_class, const StringName &p_inherits) {
	for (const ClassRecord *record = engine_double::internal::class_find(p_class); record != nullptr; record = record->parent) {
		if (record->name == p_inherits) {
			return true;
		}
	}
	return false;
}

bool ClassDB::can_instantiate(const StringName &p_class) {
	const ClassRecord *record = engine_double::internal::class_find(p_class);
	return record != nullptr && record->creator != nullptr;
}

Variant ClassDB::instantiate(const StringName &p_class) {
	const ClassRecord *record = engine_double::internal::class_find(p_class);
	ERR_FAIL_NULL_V_MSG(record, Variant(), "Cannot get class '" + text(p_class) + "'.");
	ERR_FAIL_NULL_V_MSG(record->creator, Variant(), "Class '" + text(p_class) + "' or its base class cannot be instantiated.");
	Object *object = record->creator();
	return Variant(object);
}

bool ClassDB::class_has_method(const StringName &p_class, const StringName &p_method, bool p_no_inheritance) {
	const ClassRecord *record = engine_double::internal::class_find(p_class);
	if (record == nullptr) {
		return false;
	}
	if (p_no_inheritance) {
		return record->methods.count(p_method) != 0;
	}
	return engine_double::internal::class_find_method(record, p_method) != nullptr;
}

bool ClassDB::class_has_signal(const StringName &p_class, const StringName &p_signal) {
	return engine_double::internal::class_find_signal(engine_double::internal::class_find(p_class), p_signal) != nullptr;
}

bool ClassDB::class_has_integer_constant(const StringName &p_class, const StringName &p_name) {
	int64_t value = 0;
	return engine_double::internal::class_find_constant(engine_double::internal::class_find(p_class), p_name, value);
}

int64_t ClassDB::class_get_integer_constant(const StringName &p_class, const StringName &p_name) {
	int64_t value = 0;
	engine_double::internal::class_find_constant(engine_double::internal::class_find(p_class), p_name, value);
	return value;
}

namespace internal {

StringName enum_qualified_name(const char *p_cpp_name) {
	return StringName(String(p_cpp_name).replace("::", "."));
}

} // namespace internal

} // namespace godot
