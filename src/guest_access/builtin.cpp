#include "guest_access/builtin.hpp"

#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/variant.hpp>

using namespace godot;

namespace veltrin {

bool builtin(const ProjectionNames &p_names, Object *p_object, const char *p_resource_path) {
	if (p_object == nullptr) {
		return false;
	}
	Object *script = p_object->get_script().get_validated_object();
	if (script == nullptr) {
		return false;
	}
	const String path = script->get(p_names.resource_path);
	return path == String(p_resource_path);
}

} // namespace veltrin
