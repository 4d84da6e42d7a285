#pragma once

#include "guest_access/projection_names.hpp"

#include <godot_cpp/classes/object.hpp>

namespace veltrin {

// Whether p_object is one of the game's own scripts: true exactly when the script attached
// to it has the resource path p_resource_path, compared character for character. A null
// object or an object without a script is not. Reads the script's resource_path and
// changes nothing.
bool builtin(const ProjectionNames &p_names, godot::Object *p_object, const char *p_resource_path);

} // namespace veltrin
