#pragma once

#include <godot_cpp/variant/string_name.hpp>

namespace veltrin {

// Every name that the guest access search, the candidate projection and the guest batch's
// script identity test pass to the engine, interned once per call so that no property read
// or method call builds a name. Each member is named after its own text. Members are
// constructed in declaration order and released in reverse when the call ends.
struct ProjectionNames {
	godot::StringName ACCESS_LAYER_DENIED;
	godot::StringName CONNECTOR;
	godot::StringName GOAL_NOT_PASSABLE;
	godot::StringName GOAL_TEMPORARILY_BLOCKED;
	godot::StringName GOAL_UNREACHABLE;
	godot::StringName OK;
	godot::StringName START_NOT_PASSABLE;
	godot::StringName START_TEMPORARILY_BLOCKED;
	godot::StringName _build_guest_query_tree_compact;
	godot::StringName _cache_key;
	godot::StringName _cell_traffic;
	godot::StringName _copy_path;
	godot::StringName _diagnose_no_route_reason;
	godot::StringName _find_facility_access_path;
	godot::StringName _find_path_internal;
	godot::StringName _guest_access_batch_can_select;
	godot::StringName _guest_batch_has_permitted_layer_crossing;
	godot::StringName _guest_has_checked_in;
	godot::StringName _guest_step_connector_memo;
	godot::StringName _guest_tree_arithmetic_wrapped;
	godot::StringName _guest_tree_reconstruct_path;
	godot::StringName _need_relief_for_facility_tags;
	godot::StringName _passable_cells;
	godot::StringName _path_cache;
	godot::StringName _query_batch;
	godot::StringName _route_failure;
	godot::StringName _service_category_for_tags;
	godot::StringName _sorted_name_keys;
	godot::StringName arithmetic_wrapped;
	godot::StringName available_quantity;
	godot::StringName base_quality;
	godot::StringName base_service_minutes;
	godot::StringName begin_guest_path_query_batch;
	godot::StringName cache_misses;
	godot::StringName calculate_guest_batch_path_cost;
	godot::StringName candidates;
	godot::StringName capacity;
	godot::StringName compact;
	godot::StringName cost;
	godot::StringName cost_values;
	godot::StringName costs;
	godot::StringName current_cell;
	godot::StringName definition_id;
	godot::StringName definition_registry;
	godot::StringName elevators;
	godot::StringName end_guest_path_query_batch;
	godot::StringName entrance;
	godot::StringName estimated_total_gold;
	godot::StringName expected_quality;
	godot::StringName expected_wait;
	godot::StringName facility_id;
	godot::StringName facility_service;
	godot::StringName facility_tags;
	godot::StringName get_connector;
	godot::StringName get_facility;
	godot::StringName get_facility_business_price;
	godot::StringName get_guest;
	godot::StringName get_instances;
	godot::StringName get_step_connector;
	godot::StringName graph_revision;
	godot::StringName group_fit;
	godot::StringName guest_service;
	godot::StringName illegal_level;
	godot::StringName indices;
	godot::StringName inputs_available;
	godot::StringName instance_id;
	godot::StringName inventory_inputs;
	godot::StringName inventory_service;
	godot::StringName is_open;
	godot::StringName last_error;
	godot::StringName last_no_route_reason;
	godot::StringName last_path_cost;
	godot::StringName local_inventory_id;
	godot::StringName movement_type;
	godot::StringName need_relief;
	godot::StringName occupied_cells;
	godot::StringName origin;
	godot::StringName owns_connector;
	godot::StringName path;
	godot::StringName path_handle;
	godot::StringName path_query_measured;
	godot::StringName path_service;
	godot::StringName queue_entries;
	godot::StringName reachable;
	godot::StringName ready;
	godot::StringName resource_path;
	godot::StringName risk_level;
	godot::StringName service_category;
	godot::StringName settled;
	godot::StringName staff_only;
	godot::StringName start;
	godot::StringName state;
	godot::StringName supported;
	godot::StringName tags;
	godot::StringName hunger;
	godot::StringName sleep;
	godot::StringName hygiene;
	godot::StringName medical;
	godot::StringName leisure;
	godot::StringName intimacy;
	godot::StringName dining;
	godot::StringName lodging;
	godot::StringName social;
	godot::StringName bath;
	godot::StringName wellness;
	godot::StringName adult_only;
	godot::StringName restricted_service;
	godot::StringName food;
	godot::StringName service;
	godot::StringName target_cell;
	godot::StringName targets;
	godot::StringName temporary_block;
	godot::StringName travel_minutes;
	godot::StringName tree;
	godot::StringName usable;

	ProjectionNames();
	ProjectionNames(const ProjectionNames &) = delete;
	ProjectionNames &operator=(const ProjectionNames &) = delete;
};

} // namespace veltrin
