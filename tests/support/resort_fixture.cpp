#include "resort_fixture.hpp"

#include "path_service_fixture.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/custom_callable.hpp>

#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/string.hpp>

#include <algorithm>
#include <map>
#include <queue>
#include <tuple>
#include <utility>

using namespace godot;

namespace veltrin_test {

const char *const SIMULATION_RUNTIME_SCRIPT_PATH = "res://autoload/simulation_runtime.gd";
const char *const RESORT_PATH_SERVICE_SCRIPT_PATH = "res://scripts/world/path_service.gd";
const char *const ELEVATOR_SERVICE_SCRIPT_PATH = "res://scripts/transport/elevator_service.gd";
const char *const FACILITY_SERVICE_SCRIPT_PATH = "res://scripts/facility/facility_service.gd";
const char *const DEFINITION_REGISTRY_SCRIPT_PATH = "res://scripts/core/definition_registry.gd";
const char *const INVENTORY_SERVICE_SCRIPT_PATH = "res://scripts/inventory/inventory_service.gd";
const char *const FACILITY_INSTANCE_SCRIPT_PATH = "res://scripts/facility/facility_instance.gd";
const char *const FACILITY_DEFINITION_SCRIPT_PATH = "res://scripts/data/facility_definition.gd";

namespace {

using engine_double::CallLogPause;

using CellKey = std::tuple<int32_t, int32_t, int32_t>;

CellKey key_of(const Vector3i &p_cell) {
	return CellKey(p_cell.x, p_cell.y, p_cell.z);
}

bool cell_blocked(const Dictionary &p_traffic, const Vector3i &p_cell) {
	const Dictionary entry = p_traffic.get(p_cell, Variant());
	return !entry.is_empty() && bool(entry.get("temporary_block", false));
}

int64_t entry_cost(const Dictionary &p_entry) {
	if (p_entry.has("base_cost")) {
		return p_entry.get("base_cost", 0);
	}
	if (p_entry.has("cost")) {
		return p_entry.get("cost", 0);
	}
	return RESORT_ORTHOGONAL_COST;
}

// The path service's own search: Dijkstra over the adjacency, on the given layers, through
// passable unblocked cells; cells in the order they settle.
std::vector<SettledCell> settle_from(const Dictionary &p_adjacency, const Dictionary &p_passable, const Dictionary &p_traffic, const Vector3i &p_start, const Array &p_layers) {
	struct Queued {
		int64_t cost;
		uint64_t sequence;
		Vector3i cell;
		Vector3i parent;
		bool has_parent;
		bool operator>(const Queued &p_other) const {
			return std::tie(cost, sequence) > std::tie(p_other.cost, p_other.sequence);
		}
	};
	std::priority_queue<Queued, std::vector<Queued>, std::greater<Queued>> queue;
	std::map<CellKey, bool> done;
	std::vector<SettledCell> settled;
	uint64_t sequence = 0;
	queue.push(Queued { 0, sequence++, p_start, Vector3i(), false });
	while (!queue.empty()) {
		const Queued next = queue.top();
		queue.pop();
		if (done[key_of(next.cell)]) {
			continue;
		}
		done[key_of(next.cell)] = true;
		settled.push_back(SettledCell { next.cell, next.cost, next.parent, next.has_parent });
		const Array entries = p_adjacency.get(next.cell, Array());
		for (int64_t i = 0; i < entries.size(); i++) {
			const Dictionary entry = entries[i];
			const Vector3i to = entry.get("to", Vector3i());
			if (!p_layers.has(int64_t(to.z)) || !p_passable.has(to) || cell_blocked(p_traffic, to) || done[key_of(to)]) {
				continue;
			}
			queue.push(Queued { next.cost + entry_cost(entry), sequence++, to, next.cell, true });
		}
	}
	return settled;
}

Array route_in(const std::vector<SettledCell> &p_settled, const Vector3i &p_goal) {
	std::map<CellKey, const SettledCell *> by_cell;
	for (const SettledCell &cell : p_settled) {
		by_cell[key_of(cell.cell)] = &cell;
	}
	if (by_cell.find(key_of(p_goal)) == by_cell.end()) {
		return Array();
	}
	std::vector<Vector3i> reversed;
	const SettledCell *at = by_cell[key_of(p_goal)];
	while (at != nullptr) {
		reversed.push_back(at->cell);
		at = at->has_parent ? by_cell[key_of(at->parent)] : nullptr;
	}
	Array route;
	for (auto it = reversed.rbegin(); it != reversed.rend(); ++it) {
		route.append(*it);
	}
	return route;
}

// The game script's walking rows of one cell: every kind of step onto a passable,
// unblocked cell of the given layers whose access name is granted; memoised in the
// workspace when no access name is asked for (the memo the native rows share).
Array shared_edges_rows(const Dictionary &p_adjacency, const Dictionary &p_passable, const Dictionary &p_traffic, const Dictionary &p_workspace, const Vector3i &p_cell, const Array &p_layers, const Array &p_access) {
	Dictionary edges = p_workspace.get("edges", Dictionary());
	const Dictionary indices = p_workspace.get("indices", Dictionary());
	const bool memoised = p_access.is_empty();
	if (memoised && edges.has(p_cell)) {
		return edges.get(p_cell, Array());
	}
	Array rows;
	const Array entries = p_adjacency.get(p_cell, Array());
	for (int64_t i = 0; i < entries.size(); i++) {
		const Dictionary entry = entries[i];
		const Vector3i to = entry.get("to", Vector3i());
		const StringName access_id = entry.get("access_id", StringName());
		if (!p_layers.has(int64_t(to.z)) || !p_passable.has(to) || cell_blocked(p_traffic, to) || (!access_id.is_empty() && !p_access.has(access_id))) {
			continue;
		}
		const int64_t cost = entry_cost(entry);
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

Array both_layers() {
	Array layers;
	layers.append(int64_t(0));
	layers.append(int64_t(1));
	return layers;
}

} // namespace

// What the scripted methods read and answer beyond the objects' own members.
struct ResortFixture::State {
	ResortOptions options;
	Dictionary adjacency;
	Dictionary connectors;
	Dictionary definitions;
	Dictionary stock;
	// Instance id of a facility object to its business price.
	Dictionary prices;
	Array instances;
	int64_t get_instances_calls = 0;
	int64_t ticks = 1000;
	int64_t tick_calls = 0;
	int64_t shared_edges_calls = 0;
};

FacilityValues facility_values(const char *p_instance_id, const char *p_definition_id, const Vector3i &p_origin, int32_t p_width) {
	FacilityValues values;
	values.instance_id = StringName(p_instance_id);
	values.definition_id = StringName(p_definition_id);
	values.local_inventory_id = StringName(String(p_instance_id) + "_stock");
	Array occupied;
	for (int32_t i = 0; i < p_width; i++) {
		occupied.append(Vector3i(p_origin.x + i, p_origin.y, p_origin.z));
	}
	values.occupied_cells = occupied;
	values.origin = p_origin;
	return values;
}

Array queue_of(int64_t p_count) {
	Array queue;
	for (int64_t i = 0; i < p_count; i++) {
		queue.append(StringName("waiting_guest"));
	}
	return queue;
}

Array tag_array(std::initializer_list<const char *> p_tags, bool p_typed) {
	Array tags;
	if (p_typed) {
		tags = TypedArray<StringName>();
	}
	for (const char *tag : p_tags) {
		tags.append(StringName(tag));
	}
	return tags;
}

GuestValues guest_values_at(const Vector3i &p_cell) {
	GuestValues values;
	values.current_cell = p_cell;
	return values;
}

Dictionary query_tree_over(const std::vector<SettledCell> &p_cells, bool p_usable, bool p_compact) {
	Dictionary settled;
	Dictionary indices;
	Dictionary costs;
	Dictionary parents;
	PackedInt64Array cost_values;
	for (const SettledCell &cell : p_cells) {
		settled[cell.cell] = true;
		indices[cell.cell] = cost_values.size();
		cost_values.push_back(cell.cost);
		costs[cell.cell] = cell.cost;
		if (cell.has_parent) {
			parents[cell.cell] = cell.parent;
		}
	}
	Dictionary tree;
	tree["usable"] = p_usable;
	tree["compact"] = p_compact;
	tree["settled"] = settled;
	if (p_compact) {
		tree["indices"] = indices;
		tree["cost_values"] = cost_values;
	} else {
		tree["costs"] = costs;
	}
	tree["parents"] = parents;
	return tree;
}

Dictionary query_batch_over(const Variant &p_start, const Array &p_goals) {
	Dictionary targets;
	for (int64_t i = 0; i < p_goals.size(); i++) {
		targets[p_goals[i]] = true;
	}
	Dictionary batch;
	batch["start"] = p_start;
	batch["targets"] = targets;
	batch["ready"] = false;
	return batch;
}

Array sorted_name_keys(const Dictionary &p_names) {
	const Array keys = p_names.keys();
	std::vector<std::pair<String, Variant>> named;
	for (int64_t i = 0; i < keys.size(); i++) {
		named.emplace_back(String(keys[i]), keys[i]);
	}
	std::sort(named.begin(), named.end(), [](const auto &p_a, const auto &p_b) { return p_a.first < p_b.first; });
	Array sorted;
	for (const auto &entry : named) {
		sorted.append(entry.second);
	}
	return sorted;
}

ResortFixture::ResortFixture(const ResortLayout &p_layout) :
        layout_values(p_layout), state(std::make_shared<State>()) {
	state->adjacency = adjacency;
	state->connectors = connectors;
	state->instances = instances;
	build_path_service();
	build_services();
	build_grid();
}

ResortFixture::~ResortFixture() {
	// The scripts' methods hold the state, and the state holds objects running scripts.
	state->definitions.clear();
	state->instances.clear();
	state->prices.clear();
	state->options = ResortOptions();
	instances.clear();
	for (uint64_t id : plain_facility_ids) {
		if (Object *object = ObjectDB::get_instance(id)) {
			memdelete(object);
		}
	}
	CallLogPause pause;
	runtime_object->set("path_service", Variant());
	runtime_object->set("elevators", Variant());
	runtime_object->set("facility_service", Variant());
	runtime_object->set("definition_registry", Variant());
	runtime_object->set("inventory_service", Variant());
	runtime_object->set("guest_service", Variant());
}

ResortOptions &ResortFixture::options() {
	return state->options;
}

void ResortFixture::build_path_service() {
	const std::shared_ptr<State> shared = state;
	path_script = engine_double::ScriptDouble::create(RESORT_PATH_SERVICE_SCRIPT_PATH);
	path_script->constant("FRONT", int64_t(0))
	        .constant("BACK", int64_t(1))
	        .constant("MOVEMENT_WALK", StringName("walk"))
	        .constant("ORTHOGONAL_MOVE_COST", RESORT_ORTHOGONAL_COST)
	        .constant("CONGESTION_COST_PER_EXCESS", RESORT_CONGESTION_COST_PER_EXCESS)
	        .member("_adjacency", Dictionary())
	        .member("_passable_cells", Dictionary())
	        .member("_cell_traffic", Dictionary())
	        .member("_path_cache", Dictionary())
	        .member("_query_batch", Dictionary())
	        .member("_guest_step_connector_memo", Dictionary())
	        .member("_guest_tree_workspace", Dictionary())
	        .member("_vertical_walk_requires_connector", false)
	        .member("_guest_tree_arithmetic_wrapped", false)
	        .member("graph_revision", RESORT_GRAPH_REVISION)
	        .member("cache_misses", int64_t(0))
	        .member("last_no_route_reason", StringName())
	        .member("last_path_cost", int64_t(0))
	        .member("last_error", String())
	        .signal("path_query_measured", { "elapsed" });

	path_script->method("begin_guest_path_query_batch", 2, [](const engine_double::ScriptCall &p_call) -> Variant {
		p_call.set_member("_query_batch", query_batch_over(p_call[0], p_call[1]));
		return Variant();
	});
	path_script->method("end_guest_path_query_batch", 0, [](const engine_double::ScriptCall &p_call) -> Variant {
		p_call.set_member("_query_batch", Dictionary());
		return Variant();
	});
	path_script->method("_build_guest_query_tree_compact", 4, [shared](const engine_double::ScriptCall &p_call) -> Variant {
		const std::vector<SettledCell> cells = settle_from(shared->adjacency, p_call.member("_passable_cells"), p_call.member("_cell_traffic"), p_call[0], p_call[2]);
		const Dictionary tree = query_tree_over(cells, shared->options.tree_usable, shared->options.tree_compact);
		p_call.set_member("_guest_tree_arithmetic_wrapped", shared->options.tree_arithmetic_wrapped);
		return tree;
	});
	path_script->method("_guest_tree_reconstruct_path", 2, [shared](const engine_double::ScriptCall &p_call) -> Variant {
		const Dictionary tree = p_call[0];
		const Dictionary parents = tree.get("parents", Dictionary());
		std::vector<Vector3i> reversed;
		Vector3i at = p_call[1];
		reversed.push_back(at);
		while (parents.has(at)) {
			at = parents.get(at, Vector3i());
			reversed.push_back(at);
		}
		Array route;
		if (shared->options.reconstruct_typed) {
			route = TypedArray<Vector3i>();
		}
		for (auto it = reversed.rbegin(); it != reversed.rend(); ++it) {
			route.append(*it);
		}
		return route;
	});
	path_script->method("_guest_batch_has_permitted_layer_crossing", 4, [shared](const engine_double::ScriptCall &p_call) -> Variant {
		const Vector3i start = p_call[0];
		const Vector3i goal = p_call[1];
		const Array layers = p_call[2];
		return shared->options.layer_crossing_permitted && layers.has(int64_t(start.z)) && layers.has(int64_t(goal.z));
	});
	path_script->method("_find_path_internal", 2, [shared](const engine_double::ScriptCall &p_call) -> Variant {
		const std::vector<SettledCell> cells = settle_from(shared->adjacency, p_call.member("_passable_cells"), p_call.member("_cell_traffic"), p_call[0], both_layers());
		return route_in(cells, p_call[1]);
	});
	path_script->method("_diagnose_no_route_reason", 4, [](const engine_double::ScriptCall &) -> Variant {
		return StringName("NO_WALKABLE_ROUTE");
	});
	path_script->method("_route_failure", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
		p_call.set_member("last_no_route_reason", p_call[0]);
		p_call.set_member("last_path_cost", int64_t(-1));
		p_call.set_member("last_error", String("no route: ") + String(p_call[0]));
		return Array();
	});
	path_script->method("_copy_path", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
		return Array(p_call[0]).duplicate(false);
	});
	path_script->method("get_step_connector", 3, [shared](const engine_double::ScriptCall &p_call) -> Variant {
		const Vector3i from = p_call[0];
		const Vector3i to = p_call[1];
		StringName connector;
		const Array entries = shared->adjacency.get(from, Array());
		for (int64_t i = 0; i < entries.size(); i++) {
			const Dictionary entry = entries[i];
			if (Vector3i(entry.get("to", Vector3i())) == to) {
				connector = entry.get("connector_id", StringName());
				break;
			}
		}
		Dictionary memo = p_call.member("_guest_step_connector_memo");
		if (!memo.has(from)) {
			memo[from] = Dictionary();
		}
		Dictionary steps = memo.get(from, Dictionary());
		steps[to] = connector;
		return connector;
	});
	path_script->method("get_connector", 1, [shared](const engine_double::ScriptCall &p_call) -> Variant {
		return shared->connectors.get(p_call[0], Dictionary());
	});
	path_script->method("calculate_guest_batch_path_cost", 3, [shared](const engine_double::ScriptCall &p_call) -> Variant {
		if (shared->options.route_cost_answer.get_type() != Variant::NIL) {
			return shared->options.route_cost_answer;
		}
		const Array route = p_call[2];
		int64_t cost = 0;
		for (int64_t i = 0; i + 1 < route.size(); i++) {
			const Vector3i to = route[i + 1];
			int64_t step = RESORT_ORTHOGONAL_COST;
			const Array entries = shared->adjacency.get(route[i], Array());
			for (int64_t j = 0; j < entries.size(); j++) {
				const Dictionary entry = entries[j];
				if (Vector3i(entry.get("to", Vector3i())) == to) {
					step = entry_cost(entry);
					break;
				}
			}
			cost += step;
		}
		return cost;
	});
	path_script->method("_guest_tree_shared_edges", 3, [shared](const engine_double::ScriptCall &p_call) -> Variant {
		shared->shared_edges_calls++;
		return shared_edges_rows(p_call.member("_adjacency"), p_call.member("_passable_cells"), p_call.member("_cell_traffic"), p_call.member("_guest_tree_workspace"), p_call[0], p_call[1], p_call[2]);
	});
	path_object = path_script->instantiate();
	set_member(path_object.ptr(), "_guest_tree_workspace", walk_workspace);
	set_member(path_object.ptr(), "_adjacency", adjacency);
	set_member(path_object.ptr(), "_passable_cells", passable);
	set_member(path_object.ptr(), "_cell_traffic", cell_traffic);
	set_member(path_object.ptr(), "_path_cache", path_cache);
	set_member(path_object.ptr(), "_guest_step_connector_memo", step_memo);
}

void ResortFixture::build_services() {
	const std::shared_ptr<State> shared = state;

	elevator_script = engine_double::ScriptDouble::create(ELEVATOR_SERVICE_SCRIPT_PATH);
	elevator_script->method("owns_connector", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
		return String(p_call[0]).begins_with("elevator.");
	});
	elevator_object = elevator_script->instantiate();

	facility_service_script = engine_double::ScriptDouble::create(FACILITY_SERVICE_SCRIPT_PATH);
	facility_service_script->method("get_instances", 0, [shared](const engine_double::ScriptCall &) -> Variant {
		shared->get_instances_calls++;
		if (shared->get_instances_calls > 1 && shared->options.later_instances_answer.get_type() != Variant::NIL) {
			return shared->options.later_instances_answer;
		}
		return shared->instances;
	});
	facility_service_object = facility_service_script->instantiate();

	registry_script = engine_double::ScriptDouble::create(DEFINITION_REGISTRY_SCRIPT_PATH);
	registry_script->method("get_facility", 1, [shared](const engine_double::ScriptCall &p_call) -> Variant {
		return shared->definitions.get(p_call[0], Variant());
	});
	registry_object = registry_script->instantiate();

	inventory_script = engine_double::ScriptDouble::create(INVENTORY_SERVICE_SCRIPT_PATH);
	inventory_script->method("available_quantity", 2, [shared](const engine_double::ScriptCall &p_call) -> Variant {
		const Dictionary items = shared->stock.get(p_call[0], Dictionary());
		return items.get(p_call[1], int64_t(0));
	});
	inventory_object = inventory_script->instantiate();

	instance_script = engine_double::ScriptDouble::create(FACILITY_INSTANCE_SCRIPT_PATH);
	instance_script->member("definition_id")
	        .member("instance_id")
	        .member("local_inventory_id")
	        .member("occupied_cells")
	        .member("origin")
	        .member("state")
	        .member("queue_entries")
	        .member("capacity")
	        .member("base_service_minutes")
	        .member("base_quality");
	definition_script = engine_double::ScriptDouble::create(FACILITY_DEFINITION_SCRIPT_PATH);
	definition_script->member("tags").member("inventory_inputs");

	ResortFixture *fixture = this;
	runtime_script = engine_double::ScriptDouble::create(SIMULATION_RUNTIME_SCRIPT_PATH);
	runtime_script->member("path_service")
	        .member("elevators")
	        .member("facility_service")
	        .member("definition_registry")
	        .member("inventory_service")
	        .member("guest_service");
	runtime_script->method("_guest_access_batch_can_select", 0, [shared](const engine_double::ScriptCall &) -> Variant {
		return shared->options.batch_can_select;
	});
	runtime_script->method("_guest_has_checked_in", 1, [shared](const engine_double::ScriptCall &) -> Variant {
		return shared->options.guest_checked_in;
	});
	runtime_script->method("_find_facility_access_path", 2, [shared, fixture](const engine_double::ScriptCall &p_call) -> Variant {
		Object *facility = p_call[1];
		const Vector3i origin = member(facility, "origin");
		const Dictionary open_cells = fixture->passable;
		Vector3i target = origin;
		if (open_cells.has(Vector3i(origin.x - 1, origin.y, origin.z))) {
			target = Vector3i(origin.x - 1, origin.y, origin.z);
		} else if (open_cells.has(Vector3i(origin.x + 1, origin.y, origin.z))) {
			target = Vector3i(origin.x + 1, origin.y, origin.z);
		}
		const Array route = fixture->script_route(p_call[0], target);
		Dictionary answer;
		answer["path"] = route;
		answer["reachable"] = !route.is_empty();
		if (shared->options.access_answer_has_target) {
			answer["target_cell"] = target;
		}
		return answer;
	});
	runtime_script->method("get_facility_business_price", 1, [shared](const engine_double::ScriptCall &p_call) -> Variant {
		const Object *facility = p_call[0];
		return shared->prices.get(int64_t(facility == nullptr ? 0 : facility->get_instance_id()), Variant());
	});
	runtime_script->method("_need_relief_for_facility_tags", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
		Dictionary relief;
		relief[StringName("leisure")] = Array(p_call[0]).size();
		return relief;
	});
	runtime_script->method("_service_category_for_tags", 1, [](const engine_double::ScriptCall &) -> Variant {
		return String("scripted");
	});
	runtime_script->method("_sorted_name_keys", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
		return sorted_name_keys(p_call[0]);
	});
	runtime_object = runtime_script->instantiate();
	set_member(runtime_object.ptr(), "path_service", path_object.ptr());
	set_member(runtime_object.ptr(), "elevators", elevator_object.ptr());
	set_member(runtime_object.ptr(), "facility_service", facility_service_object.ptr());
	set_member(runtime_object.ptr(), "definition_registry", registry_object.ptr());
	set_member(runtime_object.ptr(), "inventory_service", inventory_object.ptr());
	set_member(runtime_object.ptr(), "guest_service", guest_service.service());
}

void ResortFixture::build_grid() {
	for (int32_t z = 0; z < 2; z++) {
		for (int32_t y = 0; y < layout_values.floors; y++) {
			for (int32_t x = 0; x < layout_values.width; x++) {
				const Vector3i cell(x, y, z);
				passable[cell] = true;
				Array entries;
				if (x > 0) {
					entries.append(walk_entry(Vector3i(x - 1, y, z), RESORT_ORTHOGONAL_COST));
				}
				if (x + 1 < layout_values.width) {
					entries.append(walk_entry(Vector3i(x + 1, y, z), RESORT_ORTHOGONAL_COST));
				}
				entries.append(walk_entry(Vector3i(x, y, 1 - z), RESORT_ORTHOGONAL_COST));
				adjacency[cell] = entries;
			}
		}
	}
	const int32_t east = layout_values.width - 1;
	for (int32_t y = 0; y + 1 < layout_values.floors; y++) {
		const Vector3i shaft_low(0, y, 0);
		const Vector3i shaft_high(0, y + 1, 0);
		add_connector_step(shaft_low, shaft_high, "elevator.lobby", "ELEVATOR", RESORT_ELEVATOR_FLOOR_COST);
		add_connector_step(shaft_high, shaft_low, "elevator.lobby", "ELEVATOR", RESORT_ELEVATOR_FLOOR_COST);
		if (!layout_values.stairs) {
			continue;
		}
		const StringName stair(String("infra.connector:stair_") + String::num_int64(y));
		add_connector_step(Vector3i(east, y, 0), Vector3i(east, y + 1, 0), stair, "CONNECTOR", RESORT_STAIR_COST);
		add_connector_step(Vector3i(east, y + 1, 0), Vector3i(east, y, 0), stair, "CONNECTOR", RESORT_STAIR_COST);
	}
}

void ResortFixture::add_connector_step(const Vector3i &p_from, const Vector3i &p_to, const StringName &p_connector, const StringName &p_movement_type, int64_t p_cost) {
	Dictionary entry = connector_entry(p_to, p_connector, p_cost);
	entry["movement_type"] = p_movement_type;
	if (!adjacency.has(p_from)) {
		adjacency[p_from] = Array();
	}
	Array entries = adjacency.get(p_from, Array());
	entries.append(entry);
	Dictionary record;
	record["movement_type"] = p_movement_type;
	record["cost"] = p_cost;
	connectors[p_connector] = record;
}

void ResortFixture::warm_step_memo() {
	const Array cells = adjacency.keys();
	for (int64_t i = 0; i < cells.size(); i++) {
		Dictionary steps;
		const Array entries = adjacency.get(cells[i], Array());
		for (int64_t j = 0; j < entries.size(); j++) {
			const Dictionary entry = entries[j];
			steps[entry.get("to", Vector3i())] = StringName(entry.get("connector_id", StringName()));
		}
		step_memo[cells[i]] = steps;
	}
}

CellGraph ResortFixture::walk_graph() {
	std::vector<Vector3i> open_cells;
	const Array keys = passable.keys();
	for (int64_t i = 0; i < keys.size(); i++) {
		open_cells.push_back(keys[i]);
	}
	std::sort(open_cells.begin(), open_cells.end(), [](const Vector3i &p_a, const Vector3i &p_b) {
		return std::tie(p_a.z, p_a.y, p_a.x) < std::tie(p_b.z, p_b.y, p_b.x);
	});
	CellGraph graph;
	for (const Vector3i &cell : open_cells) {
		graph.indices[cell] = graph.cells.size();
		graph.cells.append(cell);
		Array entries = adjacency.get(cell, Array());
		for (int64_t i = entries.size() - 1; i >= 0; i--) {
			if (!passable.has(Dictionary(entries[i]).get("to", Variant()))) {
				entries.remove_at(i);
			}
		}
	}
	walk_workspace["edges"] = Dictionary();
	walk_workspace["indices"] = graph.indices;
	return graph;
}

Callable ResortFixture::shared_edges_provider() const {
	return Callable(path_object.ptr(), "_guest_tree_shared_edges").bind(both_layers(), Array());
}

int64_t ResortFixture::shared_edges_calls() const {
	return state->shared_edges_calls;
}

Dictionary ResortFixture::query_batch() const {
	return member(path_object.ptr(), "_query_batch");
}

void ResortFixture::open_batch(const Vector3i &p_start, const Array &p_goals) {
	CallLogPause pause;
	path_object->call("begin_guest_path_query_batch", p_start, p_goals);
}

Variant ResortFixture::member(Object *p_object, const StringName &p_member) {
	CallLogPause pause;
	return p_object->get(p_member);
}

void ResortFixture::set_member(Object *p_object, const StringName &p_member, const Variant &p_value) {
	CallLogPause pause;
	p_object->set(p_member, p_value);
}

Object *ResortFixture::add_definition(const StringName &p_id, const Array &p_tags, const Dictionary &p_inputs) {
	Ref<RefCounted> definition = definition_script->instantiate();
	set_member(definition.ptr(), "tags", p_tags);
	set_member(definition.ptr(), "inventory_inputs", p_inputs);
	state->definitions[p_id] = Variant(definition.ptr());
	return definition.ptr();
}

void ResortFixture::set_definition_answer(const StringName &p_id, const Variant &p_answer) {
	state->definitions[p_id] = p_answer;
}

Object *ResortFixture::add_facility(const FacilityValues &p_values) {
	Ref<RefCounted> facility;
	Object *object = nullptr;
	if (plain_facilities) {
		object = instance_script->instantiate_object();
		plain_facility_ids.push_back(object->get_instance_id());
	} else {
		facility = instance_script->instantiate();
		object = facility.ptr();
	}
	set_member(object, "definition_id", p_values.definition_id);
	set_member(object, "instance_id", p_values.instance_id);
	set_member(object, "local_inventory_id", p_values.local_inventory_id);
	set_member(object, "occupied_cells", p_values.occupied_cells);
	set_member(object, "origin", p_values.origin);
	set_member(object, "state", p_values.state);
	set_member(object, "queue_entries", p_values.queue_entries);
	set_member(object, "capacity", p_values.capacity);
	set_member(object, "base_service_minutes", p_values.base_service_minutes);
	set_member(object, "base_quality", p_values.base_quality);
	state->prices[int64_t(object->get_instance_id())] = p_values.price;
	const Array occupied = p_values.occupied_cells;
	for (int64_t i = 0; i < occupied.size(); i++) {
		passable.erase(occupied[i]);
	}
	instances.append(Variant(object));
	return object;
}

void ResortFixture::add_instance_value(const Variant &p_value) {
	instances.append(p_value);
}

void ResortFixture::set_stock(const Variant &p_inventory_id, const StringName &p_input, int64_t p_quantity) {
	if (!state->stock.has(p_inventory_id)) {
		state->stock[p_inventory_id] = Dictionary();
	}
	Dictionary items = state->stock.get(p_inventory_id, Dictionary());
	items[p_input] = p_quantity;
}

Callable ResortFixture::ticks() const {
	const std::shared_ptr<State> shared = state;
	return engine_double::make_custom_callable([shared](const Variant **, int) -> Variant {
		shared->tick_calls++;
		shared->ticks += shared->options.tick_step;
		return shared->ticks;
	});
}

int64_t ResortFixture::tick_calls() const {
	return state->tick_calls;
}

TypedArray<int64_t> ResortFixture::layers() {
	TypedArray<int64_t> layers;
	layers.append(int64_t(0));
	layers.append(int64_t(1));
	return layers;
}

TypedArray<StringName> ResortFixture::no_access() {
	return TypedArray<StringName>();
}

std::vector<std::string> ResortFixture::calls_on(const Object *p_object) {
	std::vector<std::string> lines;
	for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries_for(p_object)) {
		lines.push_back(entry.to_string());
	}
	return lines;
}

int64_t ResortFixture::call_count(const Object *p_object, const char *p_method) {
	const StringName method(p_method);
	int64_t count = 0;
	for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries_for(p_object)) {
		if (entry.kind == engine_double::CallLogKind::CALL && entry.name == method) {
			count++;
		}
	}
	return count;
}

Array ResortFixture::script_route(const Vector3i &p_from, const Vector3i &p_to) const {
	return route_in(settle_from(adjacency, passable, cell_traffic, p_from, both_layers()), p_to);
}

int64_t ResortFixture::script_route_cost(const Array &p_route) const {
	int64_t cost = 0;
	for (int64_t i = 0; i + 1 < p_route.size(); i++) {
		const Vector3i to = p_route[i + 1];
		const Array entries = adjacency.get(p_route[i], Array());
		for (int64_t j = 0; j < entries.size(); j++) {
			const Dictionary entry = entries[j];
			if (Vector3i(entry.get("to", Vector3i())) == to) {
				cost += entry_cost(entry);
				break;
			}
		}
	}
	return cost;
}

void add_standard_facilities(ResortFixture &p_resort) {
	Dictionary coffee;
	coffee[StringName("coffee")] = int64_t(1);
	p_resort.add_definition("cafe_kind", tag_array({ "dining", "social" }), coffee);
	p_resort.add_definition("inn_kind", tag_array({ "lodging", "bath" }));
	p_resort.add_definition("spa_kind", tag_array({ "wellness", "bath" }));
	Dictionary chips;
	chips[StringName("chips")] = int64_t(2);
	chips[StringName("cards")] = int64_t(1);
	p_resort.add_definition("casino_kind", tag_array({ "gambling", "adult_only" }), chips);
	p_resort.add_definition("staff_kind", tag_array({ "staff_only" }));
	p_resort.add_definition("gate_kind", tag_array({ "entrance" }));

	FacilityValues cafe = facility_values("cafe", "cafe_kind", Vector3i(4, 0, 0));
	cafe.queue_entries = queue_of(3);
	cafe.price = int64_t(12);
	p_resort.add_facility(cafe);
	FacilityValues inn = facility_values("inn", "inn_kind", Vector3i(5, 1, 1));
	inn.capacity = int64_t(6);
	inn.base_quality = int64_t(80);
	inn.price = int64_t(90);
	p_resort.add_facility(inn);
	FacilityValues spa = facility_values("spa", "spa_kind", Vector3i(3, 2, 0));
	spa.base_quality = int64_t(70);
	spa.price = int64_t(40);
	p_resort.add_facility(spa);
	FacilityValues casino = facility_values("casino", "casino_kind", Vector3i(8, 1, 0));
	casino.price = int64_t(60);
	p_resort.add_facility(casino);
	p_resort.add_facility(facility_values("staff_room", "staff_kind", Vector3i(9, 0, 1)));
	p_resort.add_facility(facility_values("gate", "gate_kind", Vector3i(1, 0, 1), 1));

	p_resort.set_stock(StringName("cafe_stock"), "coffee", 5);
	p_resort.set_stock(StringName("casino_stock"), "cards", 4);
	p_resort.set_stock(StringName("casino_stock"), "chips", 0);
	p_resort.guests().add_guest("g1", guest_values_at(Vector3i(2, 0, 0)));
	p_resort.guests().add_definition("tourist");
}

} // namespace veltrin_test
