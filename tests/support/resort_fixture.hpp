#pragma once

// A small resort for plug-in tests, benchmarks and the demo: the simulation runtime and its
// six services as script objects at the game's resource paths, over a grid of two layers
// (z 0 front, z 1 back) and a few floors (y), with an elevator shaft at x 0 of the front
// layer and a stair at the east end of each floor pair.
//
//     ResortFixture resort;
//     resort.add_definition("cafe_kind", { "dining" }, inputs);
//     resort.add_facility(facility_values("cafe", "cafe_kind", Vector3i(4, 0, 0)));
//     resort.guests().add_guest("g1", guest_values_at(Vector3i(2, 0, 0)));
//     core.project_guest_candidates(resort.runtime(), "g1", ..., resort.ticks());
//
// The path service answers its batch methods as the game's script would: a query batch over
// a goal set, a compact query tree from a Dijkstra search over its adjacency, routes read
// back from the tree, a step connector memo it fills as it answers, and route costs summed
// from the adjacency. Every container the fixture installs is shared with the service, so
// a test edits the service's state through it without touching the call log; switches in
// options() change what the scripted methods answer. walk_graph() numbers the walkable cells
// for the plug-in's search entry points, whose walking edge provider is the service's own
// _guest_tree_shared_edges (shared_edges_provider()).

#include "guest_service_fixture.hpp"
#include "path_service_fixture.hpp"

#include <engine_double/script_double.hpp>

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace veltrin_test {

extern const char *const SIMULATION_RUNTIME_SCRIPT_PATH;
extern const char *const RESORT_PATH_SERVICE_SCRIPT_PATH;
extern const char *const ELEVATOR_SERVICE_SCRIPT_PATH;
extern const char *const FACILITY_SERVICE_SCRIPT_PATH;
extern const char *const DEFINITION_REGISTRY_SCRIPT_PATH;
extern const char *const INVENTORY_SERVICE_SCRIPT_PATH;
extern const char *const FACILITY_INSTANCE_SCRIPT_PATH;
extern const char *const FACILITY_DEFINITION_SCRIPT_PATH;

constexpr int64_t RESORT_ORTHOGONAL_COST = 100;
constexpr int64_t RESORT_ELEVATOR_FLOOR_COST = 250;
constexpr int64_t RESORT_STAIR_COST = 150;
constexpr int64_t RESORT_GRAPH_REVISION = 42;
constexpr int64_t RESORT_CONGESTION_COST_PER_EXCESS = 5;
constexpr int64_t FACILITY_OPEN = 1;
constexpr int64_t FACILITY_DEGRADED = 2;
constexpr int64_t FACILITY_CLOSED = 0;

struct ResortLayout {
	int32_t width = 12;
	int32_t floors = 3;
	// A stair at the east end of each floor pair; without, the elevator is the only way up.
	bool stairs = true;
};

// The members of a facility instance. A NIL value reads as a missing member does.
struct FacilityValues {
	godot::Variant instance_id;
	godot::Variant definition_id;
	godot::Variant local_inventory_id;
	godot::Variant occupied_cells = godot::Array();
	godot::Variant origin = godot::Vector3i();
	godot::Variant state = FACILITY_OPEN;
	godot::Variant queue_entries = godot::Array();
	godot::Variant capacity = int64_t(2);
	godot::Variant base_service_minutes = int64_t(10);
	godot::Variant base_quality = int64_t(50);
	// What the runtime's get_facility_business_price answers for it.
	godot::Variant price = int64_t(20);
};

// A facility of p_width cells along x from p_origin, its inventory at "<id>_stock".
FacilityValues facility_values(const char *p_instance_id, const char *p_definition_id, const godot::Vector3i &p_origin, int32_t p_width = 2);
// A queue_entries array of p_count entries.
godot::Array queue_of(int64_t p_count);
// Tags as an Array typed StringName (p_typed) or an untyped Array of StringNames.
godot::Array tag_array(std::initializer_list<const char *> p_tags, bool p_typed = true);
GuestValues guest_values_at(const godot::Vector3i &p_cell);

// A cell as the path service's search settles it: its cost from the start and the cell it
// was reached from.
struct SettledCell {
	godot::Vector3i cell;
	int64_t cost = 0;
	godot::Vector3i parent;
	bool has_parent = false;
};
// The tree _build_guest_query_tree_compact answers over cells in the order they settled:
// "settled", then "indices" and "cost_values" (p_compact) or "costs", and "parents".
godot::Dictionary query_tree_over(const std::vector<SettledCell> &p_cells, bool p_usable, bool p_compact);
// The batch begin_guest_path_query_batch opens: p_goals as its target set, not ready.
godot::Dictionary query_batch_over(const godot::Variant &p_start, const godot::Array &p_goals);
// The keys of p_names sorted by their text, as the runtime's _sorted_name_keys answers.
godot::Array sorted_name_keys(const godot::Dictionary &p_names);

// What the scripted methods answer; tests flip these.
struct ResortOptions {
	bool batch_can_select = true;
	bool guest_checked_in = false;
	bool layer_crossing_permitted = true;
	// _guest_tree_reconstruct_path answers an Array typed Vector3i (as declared) or untyped.
	bool reconstruct_typed = true;
	bool tree_usable = true;
	bool tree_compact = true;
	// _guest_tree_arithmetic_wrapped after each tree build.
	bool tree_arithmetic_wrapped = false;
	// _find_facility_access_path answers a target_cell.
	bool access_answer_has_target = true;
	// calculate_guest_batch_path_cost answers this when it is not NIL.
	godot::Variant route_cost_answer;
	// get_instances answers this from its second call on when it is not NIL.
	godot::Variant later_instances_answer;
	// The tick source advances by this much per call.
	int64_t tick_step = 3;
};

class ResortFixture {
public:
	explicit ResortFixture(const ResortLayout &p_layout = ResortLayout());
	~ResortFixture();
	ResortFixture(const ResortFixture &) = delete;
	ResortFixture &operator=(const ResortFixture &) = delete;

	const ResortLayout &layout() const { return layout_values; }
	ResortOptions &options();

	godot::Object *runtime() const { return runtime_object.ptr(); }
	godot::Object *path() const { return path_object.ptr(); }
	godot::Object *elevators() const { return elevator_object.ptr(); }
	godot::Object *facility_service() const { return facility_service_object.ptr(); }
	godot::Object *registry() const { return registry_object.ptr(); }
	godot::Object *inventory() const { return inventory_object.ptr(); }
	GuestServiceFixture &guests() { return guest_service; }

	// The path service's containers, shared with it.
	godot::Dictionary passable;
	godot::Dictionary cell_traffic;
	godot::Dictionary path_cache;
	godot::Dictionary adjacency;
	godot::Dictionary step_memo;
	// Connector id to its record, as get_connector answers.
	godot::Dictionary connectors;
	// The facility service's instance list, shared with it.
	godot::Array instances;
	// The path service's search workspace (_guest_tree_workspace): "edges" memo, "indices".
	godot::Dictionary walk_workspace;

	// The path service's current query batch (its _query_batch member, shared).
	godot::Dictionary query_batch() const;
	// Opens a query batch as the projection does, outside the call log.
	void open_batch(const godot::Vector3i &p_start, const godot::Array &p_goals);
	// A member of any object the fixture made, read or written outside the call log.
	static godot::Variant member(godot::Object *p_object, const godot::StringName &p_member);
	static void set_member(godot::Object *p_object, const godot::StringName &p_member, const godot::Variant &p_value);

	// A definition that the registry answers for p_id.
	godot::Object *add_definition(const godot::StringName &p_id, const godot::Array &p_tags, const godot::Dictionary &p_inputs = godot::Dictionary());
	// Makes the registry answer p_answer for p_id (nil, a foreign object, ...).
	void set_definition_answer(const godot::StringName &p_id, const godot::Variant &p_answer);
	// A facility instance appended to the facility service's list; its occupied cells stop
	// being passable.
	godot::Object *add_facility(const FacilityValues &p_values);
	// Facilities added from here on are plain Objects (as nodes are), which a script may free
	// at any time; the fixture frees the ones still alive.
	void use_plain_facilities(bool p_plain) { plain_facilities = p_plain; }
	// The facility instances' script, for a test to give a member a getter.
	const godot::Ref<engine_double::ScriptDouble> &facility_script() const { return instance_script; }
	// Appends any value to the instance list (a foreign object, nil, ...).
	void add_instance_value(const godot::Variant &p_value);
	void set_stock(const godot::Variant &p_inventory_id, const godot::StringName &p_input, int64_t p_quantity);

	// A connector on the step a → b (one direction), with its record and edge cost.
	void add_connector_step(const godot::Vector3i &p_from, const godot::Vector3i &p_to, const godot::StringName &p_connector, const godot::StringName &p_movement_type, int64_t p_cost);
	// Fills the step connector memo for every step of the adjacency, as a warm path service
	// has it.
	void warm_step_memo();

	// Rebuilds the walking graph as the game's path service does once building is done: the
	// adjacency loses its steps into cells that are not passable (facility cells), the
	// passable cells are numbered by z, then y, then x, and a fresh search workspace (empty
	// memo, the numbering as "indices") is opened over them.
	CellGraph walk_graph();
	// _guest_tree_shared_edges bound with [FRONT, BACK] and no access names, as the path
	// service hands it to a search.
	godot::Callable shared_edges_provider() const;
	// How often the script's _guest_tree_shared_edges answered (counted without the call log).
	int64_t shared_edges_calls() const;

	// The tick source handed to the plug-in; each call advances it by options().tick_step.
	godot::Callable ticks() const;
	int64_t tick_calls() const;
	// [0, 1] typed int, and no access names.
	static godot::TypedArray<int64_t> layers();
	static godot::TypedArray<godot::StringName> no_access();

	// The call log lines of one object, in order.
	static std::vector<std::string> calls_on(const godot::Object *p_object);
	// How often a method was called on an object.
	static int64_t call_count(const godot::Object *p_object, const char *p_method);

	// The route the path service's own search finds (untyped Array; empty when none).
	godot::Array script_route(const godot::Vector3i &p_from, const godot::Vector3i &p_to) const;
	// The route's cost summed from the adjacency.
	int64_t script_route_cost(const godot::Array &p_route) const;

	struct State;

private:
	ResortLayout layout_values;
	std::shared_ptr<State> state;
	GuestServiceFixture guest_service;
	godot::Ref<engine_double::ScriptDouble> runtime_script;
	godot::Ref<engine_double::ScriptDouble> path_script;
	godot::Ref<engine_double::ScriptDouble> elevator_script;
	godot::Ref<engine_double::ScriptDouble> facility_service_script;
	godot::Ref<engine_double::ScriptDouble> registry_script;
	godot::Ref<engine_double::ScriptDouble> inventory_script;
	godot::Ref<engine_double::ScriptDouble> instance_script;
	bool plain_facilities = false;
	std::vector<uint64_t> plain_facility_ids;
	godot::Ref<engine_double::ScriptDouble> definition_script;
	godot::Ref<godot::RefCounted> runtime_object;
	godot::Ref<godot::RefCounted> path_object;
	godot::Ref<godot::RefCounted> elevator_object;
	godot::Ref<godot::RefCounted> facility_service_object;
	godot::Ref<godot::RefCounted> registry_object;
	godot::Ref<godot::RefCounted> inventory_object;

	void build_path_service();
	void build_services();
	void build_grid();
};

// The standard small resort of the demo and the end-to-end tests: a cafe, an inn, a spa, a
// casino short of chips, a staff room and an entrance gate, and the guest "g1" at (2, 0, 0).
void add_standard_facilities(ResortFixture &p_resort);

} // namespace veltrin_test
