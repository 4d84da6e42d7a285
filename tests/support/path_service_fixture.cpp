#include "path_service_fixture.hpp"

#include <engine_double/call_log.hpp>

#include <algorithm>

using namespace godot;

namespace veltrin_test {

const char *const PATH_SERVICE_SCRIPT_PATH = "res://scripts/world/path_service.gd";

namespace {

const char *const SHARED_EDGES = "_guest_tree_shared_edges";

int64_t wrap_add(int64_t p_a, int64_t p_b) {
	return static_cast<int64_t>(static_cast<uint64_t>(p_a) + static_cast<uint64_t>(p_b));
}

int64_t wrap_multiply(int64_t p_a, int64_t p_b) {
	return static_cast<int64_t>(static_cast<uint64_t>(p_a) * static_cast<uint64_t>(p_b));
}

// What the service's state looks like to its own script.
struct ServiceState {
	Dictionary adjacency;
	Dictionary cell_traffic;
	Dictionary workspace;
	bool vertical_walk_requires_connector = false;
};

// The game script's rows: every kind of edge, the access list honoured, memoised in the
// workspace only for unrestricted access (the memo is shared with the native rows).
Array shared_edges_rows(const PathServiceConstants &p_constants, const ServiceState &p_state, const Vector3i &p_cell, const Array &p_layers, const Array &p_access) {
	Dictionary edges = p_state.workspace.get("edges", Dictionary());
	const Dictionary indices = p_state.workspace.get("indices", Dictionary());
	const bool memoised = p_access.is_empty();
	if (memoised && edges.has(p_cell)) {
		return edges.get(p_cell, Array());
	}
	Array rows;
	const Array entries = p_state.adjacency.get(p_cell, Array());
	for (int64_t i = 0; i < entries.size(); i++) {
		const Dictionary entry = entries[i];
		const Vector3i to = entry.get("to", Vector3i());
		if (!p_layers.has(int64_t(to.z))) {
			continue;
		}
		const Dictionary traffic = p_state.cell_traffic.get(to, Dictionary());
		if (!traffic.is_empty() && bool(traffic.get("temporary_block", false))) {
			continue;
		}
		const StringName access_id = entry.get("access_id", StringName());
		if (!access_id.is_empty() && !p_access.has(access_id)) {
			continue;
		}
		const StringName connector_id = entry.get("connector_id", StringName());
		if (p_state.vertical_walk_requires_connector && connector_id.is_empty() && p_cell.y != to.y) {
			continue;
		}
		int64_t cost = entry.has("base_cost") ? int64_t(entry.get("base_cost", 0)) : entry.has("cost") ? int64_t(entry.get("cost", 0))
		                                                                                               : p_constants.orthogonal_move_cost;
		if (!traffic.is_empty()) {
			const int64_t density = traffic.get("current_density", 0);
			const int64_t capacity = traffic.get("base_capacity", 0);
			const int64_t excess = std::max<int64_t>(0, static_cast<int64_t>(static_cast<uint64_t>(density) - static_cast<uint64_t>(capacity)));
			cost = wrap_add(cost, wrap_add(int64_t(traffic.get("dynamic_cost", 0)), wrap_multiply(p_constants.congestion_cost_per_excess, excess)));
		}
		rows.append(edge_row(to, cost));
		if (cost < 1 || !indices.has(to)) {
			break;
		}
	}
	if (memoised) {
		edges[p_cell] = rows;
	}
	return rows;
}

ServiceState state_of(const engine_double::ScriptCall &p_call) {
	ServiceState state;
	state.adjacency = p_call.member("_adjacency");
	state.cell_traffic = p_call.member("_cell_traffic");
	state.workspace = p_call.member("_guest_tree_workspace");
	state.vertical_walk_requires_connector = p_call.member("_vertical_walk_requires_connector");
	return state;
}

} // namespace

Dictionary walk_entry(const Vector3i &p_to, const Variant &p_base_cost) {
	Dictionary entry;
	entry["to"] = p_to;
	entry["connector_id"] = StringName();
	entry["access_id"] = StringName();
	entry["movement_type"] = StringName("walk");
	if (p_base_cost.get_type() != Variant::NIL) {
		entry["base_cost"] = p_base_cost;
	}
	return entry;
}

Dictionary connector_entry(const Vector3i &p_to, const StringName &p_connector_id, int64_t p_base_cost) {
	Dictionary entry = walk_entry(p_to, p_base_cost);
	entry["connector_id"] = p_connector_id;
	entry["movement_type"] = StringName("stairs");
	return entry;
}

Dictionary traffic_entry(bool p_temporary_block, int64_t p_dynamic_cost, int64_t p_current_density, int64_t p_base_capacity) {
	Dictionary entry;
	entry["temporary_block"] = p_temporary_block;
	entry["dynamic_cost"] = p_dynamic_cost;
	entry["current_density"] = p_current_density;
	entry["base_capacity"] = p_base_capacity;
	return entry;
}

Array edge_row(const Vector3i &p_to, int64_t p_cost) {
	Array row;
	row.append(p_to);
	row.append(p_cost);
	return row;
}

PathServiceFixture::PathServiceFixture(const PathServiceConstants &p_constants, const String &p_resource_path) :
        constant_values(p_constants) {
	service_script = engine_double::ScriptDouble::create(p_resource_path);
	service_script->constant("FRONT", p_constants.front)
	        .constant("BACK", p_constants.back)
	        .constant("MOVEMENT_WALK", StringName(p_constants.movement_walk))
	        .constant("ORTHOGONAL_MOVE_COST", p_constants.orthogonal_move_cost)
	        .constant("CONGESTION_COST_PER_EXCESS", p_constants.congestion_cost_per_excess)
	        .member("_adjacency", Dictionary())
	        .member("_cell_traffic", Dictionary())
	        .member("_guest_tree_workspace", Dictionary())
	        .member("_vertical_walk_requires_connector", false);
	const PathServiceConstants constants = p_constants;
	service_script->method(SHARED_EDGES, 3, [constants](const engine_double::ScriptCall &p_call) -> Variant {
		return shared_edges_rows(constants, state_of(p_call), p_call[0], p_call[1], p_call[2]);
	});
	service = service_script->instantiate();

	const bool logging = engine_double::call_log_is_enabled();
	engine_double::call_log_set_enabled(false);
	service->set("_adjacency", adjacency);
	service->set("_cell_traffic", cell_traffic);
	service->set("_guest_tree_workspace", workspace);
	engine_double::call_log_set_enabled(logging);
	begin_query(CellGraph());
}

Dictionary PathServiceFixture::workspace_edges() const {
	return workspace.get("edges", Variant());
}

Dictionary PathServiceFixture::workspace_indices() const {
	return workspace.get("indices", Variant());
}

void PathServiceFixture::begin_query(const CellGraph &p_graph) {
	workspace["edges"] = Dictionary();
	workspace["indices"] = p_graph.indices;
}

void PathServiceFixture::set_vertical_walk_requires_connector(bool p_required) {
	const bool logging = engine_double::call_log_is_enabled();
	engine_double::call_log_set_enabled(false);
	service->set("_vertical_walk_requires_connector", p_required);
	engine_double::call_log_set_enabled(logging);
}

void PathServiceFixture::add_entry(const Vector3i &p_from, const Dictionary &p_entry) {
	if (!adjacency.has(p_from)) {
		adjacency[p_from] = Array();
	}
	Array entries = adjacency.get(p_from, Array());
	entries.append(p_entry);
}

void PathServiceFixture::share_state_with(const PathServiceFixture &p_other) {
	adjacency = p_other.adjacency;
	cell_traffic = p_other.cell_traffic;
	workspace = p_other.workspace;
	const bool logging = engine_double::call_log_is_enabled();
	engine_double::call_log_set_enabled(false);
	service->set("_adjacency", adjacency);
	service->set("_cell_traffic", cell_traffic);
	service->set("_guest_tree_workspace", workspace);
	service->set("_vertical_walk_requires_connector", p_other.service->get("_vertical_walk_requires_connector"));
	engine_double::call_log_set_enabled(logging);
}

Array PathServiceFixture::walk_layers() const {
	Array layers;
	layers.append(constant_values.front);
	layers.append(constant_values.back);
	return layers;
}

Callable PathServiceFixture::shared_edges_provider(const Array &p_layers, const Array &p_access) const {
	return Callable(service.ptr(), SHARED_EDGES).bind(p_layers, p_access);
}

int64_t PathServiceFixture::provider_call_count() const {
	int64_t count = 0;
	for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries_for(service.ptr())) {
		if (entry.kind == engine_double::CallLogKind::CALL && entry.name == StringName(SHARED_EDGES)) {
			count++;
		}
	}
	return count;
}

Array PathServiceFixture::script_rows(const Vector3i &p_cell, const Array &p_layers, const Array &p_access) const {
	ServiceState state;
	state.adjacency = adjacency;
	state.cell_traffic = cell_traffic;
	state.workspace = workspace;
	const bool logging = engine_double::call_log_is_enabled();
	engine_double::call_log_set_enabled(false);
	state.vertical_walk_requires_connector = service->get("_vertical_walk_requires_connector");
	engine_double::call_log_set_enabled(logging);
	return shared_edges_rows(constant_values, state, p_cell, p_layers, p_access);
}

CellGraph add_walking_grid(PathServiceFixture &p_fixture, int32_t p_width, int32_t p_height, uint64_t p_seed) {
	CellGraph graph;
	const int32_t layers[2] = { int32_t(p_fixture.constants().front), int32_t(p_fixture.constants().back) };
	for (const int32_t z : layers) {
		for (int32_t y = 0; y < p_height; y++) {
			for (int32_t x = 0; x < p_width; x++) {
				const Vector3i cell(x, y, z);
				graph.indices[cell] = graph.cells.size();
				graph.cells.append(cell);
			}
		}
	}
	uint64_t state = p_seed * 0x9E3779B97F4A7C15ull + 1;
	auto draw = [&state](uint64_t p_bound) {
		state = state * 6364136223846793005ull + 1442695040888963407ull;
		return (state >> 33) % p_bound;
	};
	for (int64_t i = 0; i < graph.cells.size(); i++) {
		const Vector3i cell = graph.cells[i];
		const int32_t other = cell.z == layers[0] ? layers[1] : layers[0];
		const Vector3i neighbours[5] = { Vector3i(cell.x + 1, cell.y, cell.z), Vector3i(cell.x - 1, cell.y, cell.z),
			Vector3i(cell.x, cell.y + 1, cell.z), Vector3i(cell.x, cell.y - 1, cell.z), Vector3i(cell.x, cell.y, other) };
		for (const Vector3i &to : neighbours) {
			if (to.x < 0 || to.x >= p_width || to.y < 0 || to.y >= p_height) {
				continue;
			}
			// One edge in four takes ORTHOGONAL_MOVE_COST.
			const uint64_t cost = draw(16);
			p_fixture.add_entry(cell, walk_entry(to, cost < 4 ? Variant() : Variant(int64_t(cost - 3))));
		}
		if (draw(32) == 0) {
			p_fixture.cell_traffic[cell] = traffic_entry(false, int64_t(draw(4)), int64_t(draw(12)), 6);
		}
	}
	return graph;
}

} // namespace veltrin_test
