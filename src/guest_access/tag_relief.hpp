#pragma once

// A facility's tags mapped to the needs a visit relieves and to its service category,
// without asking the runtime script.

#include "guest_access/projection_names.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>

namespace veltrin {

// hunger, sleep, hygiene, medical, leisure and intimacy, in that order, each an int.
godot::Dictionary builtin_tag_relief(const ProjectionNames &p_names, const godot::Array &p_tags);

// food, lodging, leisure or service.
godot::StringName builtin_tag_category(const ProjectionNames &p_names, const godot::Array &p_tags);

} // namespace veltrin
