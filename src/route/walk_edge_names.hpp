#pragma once

#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

// Every name the walk edge rows and the search entry look up on the path service, interned
// once per call so the per-cell work never builds a name.
struct WalkEdgeNames {
	godot::StringName resource_path;
	godot::StringName get_script_constant_map;
	godot::StringName front;
	godot::StringName back;
	godot::StringName movement_walk;
	godot::StringName orthogonal_move_cost;
	godot::StringName congestion_cost_per_excess;
	godot::StringName guest_tree_workspace;
	godot::StringName edges;
	godot::StringName indices;
	godot::StringName adjacency;
	godot::StringName cell_traffic;
	godot::StringName vertical_walk_requires_connector;
	godot::StringName to;
	godot::StringName connector_id;
	godot::StringName access_id;
	godot::StringName movement_type;
	godot::StringName base_cost;
	godot::StringName cost;
	godot::StringName temporary_block;
	godot::StringName dynamic_cost;
	godot::StringName current_density;
	godot::StringName base_capacity;
	godot::StringName guest_tree_shared_edges;
	// The default of every lookup, built once per call rather than once per lookup.
	godot::Variant nil;

	WalkEdgeNames();
	WalkEdgeNames(const WalkEdgeNames &) = delete;
	WalkEdgeNames &operator=(const WalkEdgeNames &) = delete;
};

} // namespace veltrin
