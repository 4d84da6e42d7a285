#pragma once

// A path service for plug-in tests and benchmarks: a script object at the game's path
// service resource path with its constants, its adjacency, traffic and query workspace
// members, and a _guest_tree_shared_edges(cell, layers, access) method computing the rows
// the game's script computes. The fixture keeps the member containers it installed, so a test
// edits the service's state through them (they are shared, as a script's are) without
// touching the call log.

#include <engine_double/script_double.hpp>

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>

namespace veltrin_test {

extern const char *const PATH_SERVICE_SCRIPT_PATH;

struct PathServiceConstants {
	int64_t front = 0;
	int64_t back = 1;
	const char *movement_walk = "walk";
	int64_t orthogonal_move_cost = 10;
	int64_t congestion_cost_per_excess = 5;
};

// A cell numbering as the path service hands it to a search: node i is cells[i].
struct CellGraph {
	godot::Array cells;
	godot::Dictionary indices;
};

// An adjacency entry for a plain walking edge. A NIL cost leaves "base_cost" out, so the
// row falls back to "cost" or ORTHOGONAL_MOVE_COST.
godot::Dictionary walk_entry(const godot::Vector3i &p_to, const godot::Variant &p_base_cost = godot::Variant());
// An adjacency entry through a connector (stairs, elevator).
godot::Dictionary connector_entry(const godot::Vector3i &p_to, const godot::StringName &p_connector_id, int64_t p_base_cost);
// A traffic entry of _cell_traffic.
godot::Dictionary traffic_entry(bool p_temporary_block, int64_t p_dynamic_cost, int64_t p_current_density, int64_t p_base_capacity);
// One edge row: [target, cost].
godot::Array edge_row(const godot::Vector3i &p_to, int64_t p_cost);

class PathServiceFixture {
public:
	explicit PathServiceFixture(const PathServiceConstants &p_constants = PathServiceConstants(), const godot::String &p_resource_path = PATH_SERVICE_SCRIPT_PATH);

	godot::Object *object() const { return service.ptr(); }
	godot::Variant object_variant() const { return godot::Variant(service.ptr()); }
	const PathServiceConstants &constants() const { return constant_values; }
	const godot::Ref<engine_double::ScriptDouble> &script() const { return service_script; }

	// The service's members, shared with it.
	godot::Dictionary adjacency;
	godot::Dictionary cell_traffic;
	godot::Dictionary workspace;

	// The workspace's memo ("edges") and query cells ("indices") as they are now.
	godot::Dictionary workspace_edges() const;
	godot::Dictionary workspace_indices() const;
	// Starts a query over p_graph: a fresh memo and the graph's cells as "indices".
	void begin_query(const CellGraph &p_graph);
	void set_vertical_walk_requires_connector(bool p_required);

	void add_entry(const godot::Vector3i &p_from, const godot::Dictionary &p_entry);
	// Makes this service hold p_other's adjacency, traffic, workspace and vertical rule (the
	// same containers), e.g. a service under another script path over the same world.
	void share_state_with(const PathServiceFixture &p_other);

	// [FRONT, BACK]: the layers of plain walking.
	godot::Array walk_layers() const;
	// _guest_tree_shared_edges bound as the path service hands it to a search.
	godot::Callable shared_edges_provider(const godot::Array &p_layers, const godot::Array &p_access) const;
	// How often _guest_tree_shared_edges was called on the service, from the call log.
	int64_t provider_call_count() const;
	// The rows the script computes for p_cell, without going through the call log.
	godot::Array script_rows(const godot::Vector3i &p_cell, const godot::Array &p_layers, const godot::Array &p_access) const;

private:
	PathServiceConstants constant_values;
	godot::Ref<engine_double::ScriptDouble> service_script;
	godot::Ref<godot::RefCounted> service;
};

// Two layers (FRONT and BACK) of p_width × p_height walking cells. Each cell walks to its
// four neighbours on its layer and to the cell behind it on the other layer; costs are drawn
// from p_seed (some edges leave their cost to ORTHOGONAL_MOVE_COST), and a few cells carry
// congestion. Adds the adjacency to p_fixture and returns the numbering.
CellGraph add_walking_grid(PathServiceFixture &p_fixture, int32_t p_width, int32_t p_height, uint64_t p_seed = 1);

} // namespace veltrin_test
