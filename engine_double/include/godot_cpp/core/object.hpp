#pragma once

// Object helpers: MethodInfo, ObjectDB and the registration macros for signals and
// properties.

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/core/property_info.hpp>

#include <cstdint>
#include <vector>

#define ADD_SIGNAL(m_signal) ::godot::ClassDB::add_signal(get_class_static(), m_signal)
#define ADD_GROUP(m_name, m_prefix) ::godot::ClassDB::add_property_group(get_class_static(), m_name, m_prefix)
#define ADD_SUBGROUP(m_name, m_prefix) ::godot::ClassDB::add_property_subgroup(get_class_static(), m_name, m_prefix)
#define ADD_PROPERTY(m_property, m_setter, m_getter) ::godot::ClassDB::add_property(get_class_static(), m_property, m_setter, m_getter)
#define ADD_PROPERTYI(m_property, m_setter, m_getter, m_index) ::godot::ClassDB::add_property(get_class_static(), m_property, m_setter, m_getter, m_index)

namespace godot {

struct MethodInfo {
	StringName name;
	PropertyInfo return_val;
	uint32_t flags = METHOD_FLAGS_DEFAULT;
	int id = 0;
	std::vector<PropertyInfo> arguments;
	std::vector<Variant> default_arguments;

	MethodInfo() = default;
	MethodInfo(StringName p_name) :
	        name(p_name) {}
	template <typename... Args>
	MethodInfo(StringName p_name, const Args &...p_args) :
	        name(p_name),
	        arguments { p_args... } {}
	MethodInfo(Variant::Type p_ret) {
		return_val.type = p_ret;
	}
	MethodInfo(Variant::Type p_ret, StringName p_name) :
	        name(p_name) {
		return_val.type = p_ret;
	}
	template <typename... Args>
	MethodInfo(Variant::Type p_ret, StringName p_name, const Args &...p_args) :
	        name(p_name),
	        arguments { p_args... } {
		return_val.type = p_ret;
	}
	MethodInfo(const PropertyInfo &p_ret, StringName p_name) :
	        name(p_name),
	        return_val(p_ret) {}
	template <typename... Args>
	MethodInfo(const PropertyInfo &p_ret, StringName p_name, const Args &...p_args) :
	        name(p_name),
	        return_val(p_ret),
	        arguments { p_args... } {}
};

class ENGINE_DOUBLE_API ObjectDB {
public:
	// nullptr when the id is unknown or its object was freed.
	static Object *get_instance(uint64_t p_object_id);

	template <typename T>
	static T *get_instance(uint64_t p_object_id) {
		return Object::cast_to<T>(get_instance(p_object_id));
	}
};

} // namespace godot
