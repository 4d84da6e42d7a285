#pragma once

// The checks a projection makes before it asks the path service anything: every object it
// will read must run one of the game's own scripts.

#include "guest_access/projection_names.hpp"
#include "guest_access/projection_run.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/string_name.hpp>

namespace veltrin {

enum class PreflightOutcome {
	DECLINE,
	NO_GUEST,
	PROCEED,
};

// On PROCEED r_services holds the six services and the guest, and r_instances the facility
// service's first instance list, every element a facility instance of the game.
PreflightOutcome projection_preflight(const ProjectionNames &p_names, const LiveObject &p_runtime, const godot::StringName &p_guest_id, const godot::Callable &p_ticks, ProjectionServices &r_services, godot::Array &r_instances);

} // namespace veltrin
