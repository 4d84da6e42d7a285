#include "common/builtin.hpp"

#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/variant.hpp>

using namespace godot;

namespace veltrin {

Object *builtin_script(const StringName &p_resource_path_name, Object *p_object, const String &p_script_path) {
	if (p_object == nullptr) {
		return nullptr;
	}
	Object *script = p_object->get_script().get_validated_object();
	if (script == nullptr) {
		return nullptr;
	}
	const String path = script->get(p_resource_path_name);
	return path == p_script_path ? script : nullptr;
}

Object *builtin_script(const StringName &p_resource_path_name, Object *p_object, const char *p_script_path) {
	if (p_object == nullptr) {
		return nullptr;
	}
	return builtin_script(p_resource_path_name, p_object, String(p_script_path));
}

bool builtin(const StringName &p_resource_path_name, Object *p_object, const char *p_script_path) {
	return builtin_script(p_resource_path_name, p_object, p_script_path) != nullptr;
}

bool builtin(const StringName &p_resource_path_name, Object *p_object, const String &p_script_path) {
	return builtin_script(p_resource_path_name, p_object, p_script_path) != nullptr;
}

bool BuiltinScripts::builtin(const StringName &p_resource_path_name, Object *p_object, const String &p_script_path) {
	if (p_object == nullptr) {
		return false;
	}
	const Variant script_value = p_object->get_script();
	Object *script = script_value.get_validated_object();
	if (script == nullptr) {
		return false;
	}
	for (const Seen &entry : seen) {
		if (entry.object == script) {
			return entry.path == p_script_path;
		}
	}
	const String path = script->get(p_resource_path_name);
	seen.push_back(Seen { script_value, script, path });
	return path == p_script_path;
}

} // namespace veltrin
