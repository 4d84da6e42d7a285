#pragma once

#include "common/live_object.hpp"
#include "route/walk_edge_names.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>

namespace veltrin {

// What the native walk edge rows need from the path service. An empty context (no path
// object) makes every row request decline.
struct WalkEdgeContext {
	// Reached again at every read: each may run the service's script, which may free it.
	LiveObject path;
	int64_t front = 0;
	int64_t back = 0;
	int64_t orthogonal_move_cost = 0;
	int64_t congestion_cost_per_excess = 0;
	godot::StringName movement_walk;
};

// Fills r_context and returns true when the native rows apply: the path object is the
// game's own path service, the layers are exactly [FRONT, BACK] and no access restriction
// is asked for. On false r_context is left as it was.
bool walk_edge_context(const WalkEdgeNames &p_names, godot::Object *p_path, const godot::Array &p_layers, const godot::Array &p_access, WalkEdgeContext &r_context);

} // namespace veltrin
