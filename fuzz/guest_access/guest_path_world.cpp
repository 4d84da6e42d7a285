#include "guest_path_world.hpp"

#include <resort_fixture.hpp>

#include <engine_double/custom_callable.hpp>
#include <engine_double/script_double.hpp>

#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/typed_dictionary.hpp>

#include <map>
#include <queue>
#include <tuple>

using namespace godot;

namespace veltrin_fuzz {

namespace {

constexpr int64_t STEP_COST = 100;
constexpr int64_t ELEVATOR_COST = 250;
constexpr int64_t STAIR_COST = 150;

const std::vector<const char *> PATH_NAMES = {
	"start",
	"targets",
	"ready",
	"tree",
	"arithmetic_wrapped",
	"usable",
	"settled",
	"compact",
	"indices",
	"cost_values",
	"costs",
	"temporary_block",
	"OK",
	"GOAL_UNREACHABLE",
	"NO_WALKABLE_ROUTE",
	"_query_batch",
	"_passable_cells",
	"_cell_traffic",
	"_path_cache",
	"graph_revision",
	"cache_misses",
	"_guest_tree_arithmetic_wrapped",
	"last_no_route_reason",
	"last_path_cost",
	"last_error",
	"_build_guest_query_tree_compact",
	"_guest_batch_has_permitted_layer_crossing",
	"_guest_tree_reconstruct_path",
	"_find_path_internal",
	"_diagnose_no_route_reason",
	"_route_failure",
	"_copy_path",
	"path_query_measured",
	"supported",
	"reachable",
	"path",
	"target_cell",
};

using CellKey = std::tuple<int32_t, int32_t, int32_t>;

CellKey key_of(const Vector3i &p_cell) {
	return CellKey(p_cell.x, p_cell.y, p_cell.z);
}

struct Step {
	Vector3i to;
	int64_t cost;
};

std::vector<Step> steps_from(const Vector3i &p_cell, int32_t p_width, int32_t p_floors) {
	std::vector<Step> steps;
	if (p_cell.x > 0) {
		steps.push_back(Step { Vector3i(p_cell.x - 1, p_cell.y, p_cell.z), STEP_COST });
	}
	if (p_cell.x + 1 < p_width) {
		steps.push_back(Step { Vector3i(p_cell.x + 1, p_cell.y, p_cell.z), STEP_COST });
	}
	steps.push_back(Step { Vector3i(p_cell.x, p_cell.y, 1 - p_cell.z), STEP_COST });
	if (p_cell.z == 0 && (p_cell.x == 0 || p_cell.x == p_width - 1)) {
		const int64_t cost = p_cell.x == 0 ? ELEVATOR_COST : STAIR_COST;
		if (p_cell.y > 0) {
			steps.push_back(Step { Vector3i(p_cell.x, p_cell.y - 1, 0), cost });
		}
		if (p_cell.y + 1 < p_floors) {
			steps.push_back(Step { Vector3i(p_cell.x, p_cell.y + 1, 0), cost });
		}
	}
	return steps;
}

bool cell_blocked(const Dictionary &p_traffic, const Vector3i &p_cell) {
	const Variant entry = p_traffic.get(p_cell, Variant());
	if (entry.get_type() != Variant::DICTIONARY) {
		return false;
	}
	return bool(Dictionary(entry).get("temporary_block", false));
}

using veltrin_test::SettledCell;

std::vector<SettledCell> settle(const Vector3i &p_start, const Dictionary &p_passable, const Dictionary &p_traffic, const Array &p_layers, int32_t p_width, int32_t p_floors) {
	struct Queued {
		int64_t cost;
		uint64_t sequence;
		SettledCell settled;
		bool operator>(const Queued &p_other) const {
			return std::tie(cost, sequence) > std::tie(p_other.cost, p_other.sequence);
		}
	};
	std::priority_queue<Queued, std::vector<Queued>, std::greater<Queued>> queue;
	std::map<CellKey, bool> done;
	std::vector<SettledCell> order;
	uint64_t sequence = 0;
	queue.push(Queued { 0, sequence++, SettledCell { p_start, 0, Vector3i(), false } });
	while (!queue.empty() && order.size() < 512) {
		const Queued next = queue.top();
		queue.pop();
		if (done[key_of(next.settled.cell)]) {
			continue;
		}
		done[key_of(next.settled.cell)] = true;
		order.push_back(next.settled);
		for (const Step &step : steps_from(next.settled.cell, p_width, p_floors)) {
			if (!p_layers.has(int64_t(step.to.z)) || !p_passable.has(step.to) || cell_blocked(p_traffic, step.to) || done[key_of(step.to)]) {
				continue;
			}
			queue.push(Queued { next.cost + step.cost, sequence++, SettledCell { step.to, next.cost + step.cost, next.settled.cell, true } });
		}
	}
	return order;
}

Array both_layers() {
	Array layers;
	layers.append(int64_t(0));
	layers.append(int64_t(1));
	return layers;
}

struct WorldSize {
	int32_t width = 4;
	int32_t floors = 2;
};

WorldSize &current_size() {
	static WorldSize size;
	return size;
}

// The route to p_goal through the tree's parents, typed Vector3i.
TypedArray<Vector3i> route_from_parents(const Dictionary &p_parents, const Vector3i &p_goal) {
	std::vector<Vector3i> reversed;
	Vector3i at = p_goal;
	reversed.push_back(at);
	while (p_parents.has(at) && reversed.size() < 512) {
		at = p_parents.get(at, Vector3i());
		reversed.push_back(at);
	}
	TypedArray<Vector3i> route;
	for (auto it = reversed.rbegin(); it != reversed.rend(); ++it) {
		route.append(*it);
	}
	return route;
}

// One corruption of a good tree: what a script bug or an overflowed search might leave.
void alter_tree(Dictionary &r_tree, uint32_t p_alteration) {
	const Dictionary settled = r_tree.get("settled", Dictionary());
	const Array cells = settled.keys();
	const Variant some_cell = cells.is_empty() ? Variant(Vector3i()) : cells[cells.size() / 2];
	switch (p_alteration % 10) {
		case 0:
			r_tree["usable"] = false;
			break;
		case 1:
			r_tree.erase("usable");
			break;
		case 2: {
			Dictionary indices = r_tree.get("indices", Dictionary());
			indices.erase(some_cell);
			Dictionary costs = r_tree.get("costs", Dictionary());
			costs.erase(some_cell);
			break;
		}
		case 3: {
			Dictionary indices = r_tree.get("indices", Dictionary());
			indices[some_cell] = int64_t(-1);
			Dictionary costs = r_tree.get("costs", Dictionary());
			costs[some_cell] = 2.5;
			break;
		}
		case 4: {
			PackedInt64Array values = r_tree.get("cost_values", PackedInt64Array());
			values.resize(values.size() / 2);
			r_tree["cost_values"] = values;
			break;
		}
		case 5:
			r_tree["compact"] = !bool(r_tree.get("compact", false));
			break;
		case 6: {
			Dictionary indices = r_tree.get("indices", Dictionary());
			indices[some_cell] = std::numeric_limits<int64_t>::max();
			Dictionary costs = r_tree.get("costs", Dictionary());
			costs[some_cell] = std::numeric_limits<int64_t>::min();
			break;
		}
		case 7:
			r_tree["settled"] = Array();
			break;
		case 8: {
			// Costs that tie, so goal order decides.
			PackedInt64Array values = r_tree.get("cost_values", PackedInt64Array());
			values.fill(7);
			r_tree["cost_values"] = values;
			Dictionary costs = r_tree.get("costs", Dictionary());
			const Array keys = costs.keys();
			for (int64_t i = 0; i < keys.size(); i++) {
				costs[keys[i]] = int64_t(7);
			}
			break;
		}
		default:
			r_tree["indices"] = String("indices");
			r_tree["costs"] = int64_t(5);
			break;
	}
}

Ref<engine_double::ScriptDouble> &path_script() {
	static Ref<engine_double::ScriptDouble> script = [] {
		Ref<engine_double::ScriptDouble> made = engine_double::ScriptDouble::create("res://scripts/world/path_service.gd");
		made->constant("FRONT", int64_t(0))
		        .constant("BACK", int64_t(1))
		        .constant("ORTHOGONAL_MOVE_COST", STEP_COST)
		        .member("_passable_cells", Dictionary())
		        .member("_cell_traffic", Dictionary())
		        .member("_path_cache", Dictionary())
		        .member("_query_batch", Dictionary())
		        .member("_guest_step_connector_memo", Dictionary())
		        .member("_guest_tree_arithmetic_wrapped", false)
		        .member("graph_revision", int64_t(42))
		        .member("cache_misses", int64_t(0))
		        .member("last_no_route_reason", StringName())
		        .member("last_path_cost", int64_t(0))
		        .member("last_error", String())
		        .signal("path_query_measured", { "elapsed" });
		made->method("begin_guest_path_query_batch", 2, [](const engine_double::ScriptCall &p_call) -> Variant {
			PathPlan &plan = *current_path_plan();
			plan.batch_order_broken = plan.batch_order_broken || plan.batches_opened != plan.batches_closed;
			plan.batches_opened++;
			p_call.set_member("_query_batch", veltrin_test::query_batch_over(p_call[0], p_call[1]));
			return Variant();
		});
		made->method("end_guest_path_query_batch", 0, [](const engine_double::ScriptCall &p_call) -> Variant {
			PathPlan &plan = *current_path_plan();
			plan.batches_closed++;
			plan.batch_order_broken = plan.batch_order_broken || plan.batches_closed != plan.batches_opened;
			p_call.set_member("_query_batch", Dictionary());
			return Variant();
		});
		made->method("_build_guest_query_tree_compact", 4, [](const engine_double::ScriptCall &p_call) -> Variant {
			PathPlan &plan = *current_path_plan();
			plan.tree_builds++;
			p_call.set_member("_guest_tree_arithmetic_wrapped", plan.tree_wrapped);
			if (plan.tree == AnswerMode::JUNK) {
				plan.last_tree = plan.tree_junk;
				return plan.tree_junk;
			}
			const WorldSize &size = current_size();
			Dictionary tree = veltrin_test::query_tree_over(settle(p_call[0], p_call.member("_passable_cells"), p_call.member("_cell_traffic"), p_call[2], size.width, size.floors), plan.tree_usable, plan.tree_compact);
			if (plan.tree == AnswerMode::ALTERED) {
				alter_tree(tree, plan.tree_alteration);
			}
			plan.last_tree = tree;
			return tree;
		});
		made->method("_guest_tree_reconstruct_path", 2, [](const engine_double::ScriptCall &p_call) -> Variant {
			PathPlan &plan = *current_path_plan();
			if (plan.reconstruct == AnswerMode::JUNK) {
				return plan.reconstruct_junk;
			}
			const Dictionary tree = p_call[0];
			const TypedArray<Vector3i> route = route_from_parents(tree.get("parents", Dictionary()), p_call[1]);
			if (plan.reconstruct == AnswerMode::ALTERED) {
				// Untyped, as a script that builds its own Array would answer.
				Array untyped;
				untyped.append_array(route);
				return untyped;
			}
			return route;
		});
		made->method("_guest_batch_has_permitted_layer_crossing", 4, [](const engine_double::ScriptCall &) -> Variant {
			return current_path_plan()->crossing;
		});
		made->method("_find_path_internal", 2, [](const engine_double::ScriptCall &p_call) -> Variant {
			PathPlan &plan = *current_path_plan();
			if (plan.find_path == AnswerMode::JUNK) {
				return plan.find_path_junk;
			}
			const WorldSize &size = current_size();
			const std::vector<SettledCell> cells = settle(p_call[0], p_call.member("_passable_cells"), p_call.member("_cell_traffic"), both_layers(), size.width, size.floors);
			Dictionary parents;
			bool found = false;
			const Vector3i goal = p_call[1];
			for (const SettledCell &cell : cells) {
				if (cell.has_parent) {
					parents[cell.cell] = cell.parent;
				}
				found = found || cell.cell == goal;
			}
			if (!found) {
				return Array();
			}
			Array untyped;
			untyped.append_array(route_from_parents(parents, goal));
			return untyped;
		});
		made->method("_diagnose_no_route_reason", 4, [](const engine_double::ScriptCall &) -> Variant {
			return current_path_plan()->diagnosis;
		});
		made->method("_route_failure", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
			PathPlan &plan = *current_path_plan();
			plan.resolutions_failed++;
			p_call.set_member("last_no_route_reason", p_call[0]);
			p_call.set_member("last_path_cost", int64_t(-1));
			p_call.set_member("last_error", String("no route"));
			return plan.failure == AnswerMode::JUNK ? plan.failure_junk : Variant(Array());
		});
		made->method("_copy_path", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
			PathPlan &plan = *current_path_plan();
			if (plan.copy_answer.get_type() != Variant::NIL) {
				return plan.copy_answer;
			}
			return Array(p_call[0]).duplicate(false);
		});
		// The projection's route questions. The step connector memo is left as installed, so
		// that every change to it would be the plug-in's.
		made->method("get_step_connector", 3, [](const engine_double::ScriptCall &p_call) -> Variant {
			const WorldSize &size = current_size();
			const Vector3i from = p_call[0];
			const Vector3i to = p_call[1];
			if (from.x != to.x || from.z != to.z || from.y == to.y) {
				return StringName();
			}
			if (from.x == 0) {
				return StringName("elevator.lobby");
			}
			if (from.x == size.width - 1) {
				return StringName(String("infra.connector:stair_") + String::num_int64(from.y < to.y ? from.y : to.y));
			}
			return StringName();
		});
		made->method("get_connector", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
			PathPlan &plan = *current_path_plan();
			if (plan.connector_record.get_type() != Variant::NIL) {
				return plan.connector_record;
			}
			Dictionary record;
			const bool stair = String(p_call[0]).begins_with("infra.connector:");
			record["movement_type"] = StringName(stair ? "CONNECTOR" : "ELEVATOR");
			record["cost"] = stair ? STAIR_COST : ELEVATOR_COST;
			return record;
		});
		made->method("calculate_guest_batch_path_cost", 3, [](const engine_double::ScriptCall &p_call) -> Variant {
			PathPlan &plan = *current_path_plan();
			if (plan.route_cost.get_type() != Variant::NIL) {
				return plan.route_cost;
			}
			const WorldSize &size = current_size();
			const Array route = p_call[2];
			int64_t cost = 0;
			for (int64_t i = 0; i + 1 < route.size(); i++) {
				const Vector3i to = route[i + 1];
				int64_t step_cost = STEP_COST;
				for (const Step &step : steps_from(route[i], size.width, size.floors)) {
					if (step.to == to) {
						step_cost = step.cost;
					}
				}
				cost += step_cost;
			}
			return cost;
		});
		return made;
	}();
	return script;
}

} // namespace

PathPlan *&current_path_plan() {
	static PathPlan *plan = nullptr;
	return plan;
}

const std::vector<const char *> &guest_access_fuzz_names() {
	return PATH_NAMES;
}

GuestPathWorld::GuestPathWorld(GuestBytes &r_in, GuestObjectKeeper &r_keeper, bool p_plain) {
	width = int32_t(4 + r_in.below(3));
	floors = int32_t(2 - r_in.below(2));
	current_size() = WorldSize { width, floors };
	current_path_plan() = &plan;
	service = r_keeper.instance_of(path_script(), p_plain);
	service_id = service.get_validated_object()->get_instance_id();
	for (int32_t z = 0; z < 2; z++) {
		for (int32_t y = 0; y < floors; y++) {
			for (int32_t x = 0; x < width; x++) {
				passable[Vector3i(x, y, z)] = true;
			}
		}
	}
	// A few cells the input takes away or blocks.
	const uint32_t holes = r_in.below(4);
	for (uint32_t i = 0; i < holes; i++) {
		const Vector3i hole = cell(r_in);
		if (r_in.chance(128)) {
			passable.erase(hole);
		} else {
			Dictionary entry;
			entry["temporary_block"] = r_in.chance(200) ? Variant(true) : Variant(r_in.edge_int());
			traffic[hole] = entry;
		}
	}
	set_member("_passable_cells", passable);
	set_member("_cell_traffic", traffic);
	set_member("_path_cache", path_cache);
	set_member("_guest_step_connector_memo", step_memo);
	const Variant emission = engine_double::make_custom_callable([](const Variant **p_arguments, int p_count) -> Variant {
		PathPlan &current = *current_path_plan();
		current.emissions++;
		current.emitted = p_count > 0 ? *p_arguments[0] : Variant();
		return Variant();
	},
	        1);
	object()->connect("path_query_measured", emission);
	decode_plan(r_in, r_keeper);
}

GuestPathWorld::~GuestPathWorld() {
	if (current_path_plan() == &plan) {
		current_path_plan() = nullptr;
	}
}

void GuestPathWorld::decode_plan(GuestBytes &r_in, GuestObjectKeeper &r_keeper) {
	const std::vector<const char *> &names = guest_access_fuzz_names();
	const uint32_t tree = r_in.below(16);
	plan.tree = tree < 11 ? AnswerMode::SCRIPT : (tree < 15 ? AnswerMode::ALTERED : AnswerMode::JUNK);
	plan.tree_compact = !r_in.chance(64);
	plan.tree_alteration = r_in.below(10);
	if (plan.tree == AnswerMode::JUNK) {
		plan.tree_junk = junk_value(r_in, r_keeper, names);
	}
	if (r_in.chance(16)) {
		plan.tree_wrapped = r_in.chance(128) ? Variant(true) : junk_value(r_in, r_keeper, names, 0);
	}
	if (r_in.chance(32)) {
		plan.crossing = r_in.chance(128) ? Variant(false) : junk_value(r_in, r_keeper, names, 0);
	}
	const uint32_t reconstruct = r_in.below(16);
	plan.reconstruct = reconstruct < 12 ? AnswerMode::SCRIPT : (reconstruct < 14 ? AnswerMode::ALTERED : AnswerMode::JUNK);
	if (plan.reconstruct == AnswerMode::JUNK) {
		plan.reconstruct_junk = junk_value(r_in, r_keeper, names);
	}
	if (r_in.chance(24)) {
		plan.find_path = AnswerMode::JUNK;
		plan.find_path_junk = junk_value(r_in, r_keeper, names);
	}
	if (r_in.chance(24)) {
		plan.diagnosis = junk_value(r_in, r_keeper, names, 1);
	}
	if (r_in.chance(24)) {
		plan.failure = AnswerMode::JUNK;
		plan.failure_junk = junk_value(r_in, r_keeper, names);
	}
	if (r_in.chance(16)) {
		plan.copy_answer = junk_value(r_in, r_keeper, names);
	}
	if (r_in.chance(32)) {
		plan.tick = r_in.edge_int();
		plan.tick_step = r_in.edge_int();
	}
	if (r_in.chance(12)) {
		plan.tick_junk = junk_value(r_in, r_keeper, names, 0);
	}
}

void GuestPathWorld::decode_member_mutations(GuestBytes &r_in, GuestObjectKeeper &r_keeper) {
	static const char *const MEMBERS[] = { "_passable_cells", "_cell_traffic", "_path_cache", "graph_revision", "cache_misses", "_guest_tree_arithmetic_wrapped", "last_no_route_reason", "last_path_cost", "last_error", "_guest_step_connector_memo" };
	const uint32_t count = r_in.below(4);
	for (uint32_t i = 0; i < count; i++) {
		const StringName name = MEMBERS[r_in.below(10)];
		const Variant current = member(name);
		switch (r_in.below(6)) {
			case 0:
				set_member(name, junk_value(r_in, r_keeper, guest_access_fuzz_names()));
				break;
			case 1:
				if (current.get_type() == Variant::DICTIONARY) {
					Dictionary container = current;
					container.make_read_only();
				} else {
					set_member(name, r_in.edge_int());
				}
				break;
			case 2: {
				// Another container of the service in its place: two members share one.
				const StringName other = MEMBERS[r_in.below(3)];
				set_member(name, member(other));
				break;
			}
			case 3:
				if (current.get_type() == Variant::DICTIONARY) {
					Dictionary container = current;
					const Variant key = junk_value(r_in, r_keeper, guest_access_fuzz_names(), 0);
					const Variant value = junk_value(r_in, r_keeper, guest_access_fuzz_names(), 1);
					container[key] = value;
				}
				break;
			case 4:
				if (current.get_type() == Variant::DICTIONARY) {
					Dictionary typed = TypedDictionary<Vector3i, Variant>();
					const Dictionary source = current;
					const Array keys = source.keys();
					for (int64_t k = 0; k < keys.size(); k++) {
						if (keys[k].get_type() == Variant::VECTOR3I) {
							typed[keys[k]] = source.get(keys[k], Variant());
						}
					}
					set_member(name, typed);
				}
				break;
			default:
				set_member(name, r_in.edge_int());
				break;
		}
	}
}

void GuestPathWorld::open_batch(const Vector3i &p_start, const Array &p_goals, bool p_ready) {
	Dictionary batch = veltrin_test::query_batch_over(p_start, p_goals);
	if (p_ready) {
		const int64_t builds = plan.tree_builds;
		const Variant tree = object()->call("_build_guest_query_tree_compact", p_start, batch["targets"], both_layers(), Array());
		plan.tree_builds = builds;
		plan.last_tree = Variant();
		batch["tree"] = tree;
		batch["arithmetic_wrapped"] = member("_guest_tree_arithmetic_wrapped");
		batch["ready"] = true;
	}
	set_member("_query_batch", batch);
}

void GuestPathWorld::decode_batch_mutations(GuestBytes &r_in, GuestObjectKeeper &r_keeper) {
	Dictionary batch = member("_query_batch");
	const uint32_t count = r_in.below(3);
	for (uint32_t i = 0; i < count; i++) {
		static const char *const KEYS[] = { "start", "targets", "ready", "tree", "arithmetic_wrapped" };
		const char *key = KEYS[r_in.below(5)];
		switch (r_in.below(5)) {
			case 0:
				batch.erase(key);
				break;
			case 1:
				batch[String(key)] = junk_value(r_in, r_keeper, guest_access_fuzz_names());
				break;
			case 2:
				batch[StringName(key)] = r_in.chance(128);
				break;
			case 3:
				// The targets are the passable set: every cell is a target.
				batch["targets"] = passable;
				break;
			default:
				batch.make_read_only();
				break;
		}
	}
	if (r_in.chance(8)) {
		set_member("_query_batch", r_in.chance(128) ? Variant(Dictionary()) : junk_value(r_in, r_keeper, guest_access_fuzz_names()));
	}
}

Callable GuestPathWorld::ticks() const {
	return engine_double::make_custom_callable([](const Variant **, int) -> Variant {
		PathPlan &current = *current_path_plan();
		current.tick_calls++;
		if (current.tick_junk.get_type() != Variant::NIL) {
			return current.tick_junk;
		}
		const int64_t now = current.tick;
		current.tick = int64_t(uint64_t(current.tick) + uint64_t(current.tick_step));
		return now;
	});
}

Vector3i GuestPathWorld::cell(GuestBytes &r_in) const {
	const int32_t x = int32_t(r_in.below(uint32_t(width + 1)));
	const int32_t y = int32_t(r_in.below(uint32_t(floors)));
	const int32_t z = int32_t(r_in.below(3));
	return Vector3i(x, y, z == 2 ? (r_in.chance(128) ? -1 : 2) : z);
}

Variant GuestPathWorld::member(const StringName &p_name) const {
	Object *live = object();
	return live == nullptr ? Variant() : veltrin_test::ResortFixture::member(live, p_name);
}

void GuestPathWorld::set_member(const StringName &p_name, const Variant &p_value) const {
	if (Object *live = object()) {
		veltrin_test::ResortFixture::set_member(live, p_name, p_value);
	}
}

} // namespace veltrin_fuzz
