// nearest_guest_access on the engine double: a path service over a small grid with an open
// query batch, as the projection leaves it, mutated by the input (its members, the batch,
// the tree and what every scripted method answers), and arguments mutated around the valid
// ones. Checks: the answer has one of the two shapes; the signal and the tick source are
// used as an answer requires; the selected goal is the cheapest settled target of the
// tree; and the service changed only where a query may change it (the batch's tree, ready
// and wrapped flags on a build, cache_misses, the last-query fields, the cache entries of
// the selected and the last goal), exactly as the state before shows once those writes are
// undone.

#include "guest_access_checks.hpp"
#include "guest_fuzz_values.hpp"
#include "guest_path_world.hpp"

#include <fuzz_check.hpp>
#include <hostile_scripts.hpp>
#include <state_snapshot.hpp>

#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_cpp/variant/vector3.hpp>

using namespace godot;
using namespace veltrin_fuzz;

namespace {

struct NearestCall {
	Variant path;
	Vector3i start;
	Variant goals;
	Vector3i fallback = Vector3i(-1, -1, -1);
	Variant layers;
	Variant access;
	Variant ticks;
	int freed_arguments = 0;

	std::vector<Variant> arguments() const { return { path, start, goals, fallback, layers, access, ticks }; }
};

Array goal_cells(GuestBytes &r_in, GuestObjectKeeper &r_keeper, const GuestPathWorld &p_world, const Vector3i &p_start) {
	const Vector3i base[] = { Vector3i(p_world.width - 1, 0, 0), Vector3i(2, p_world.floors - 1, 1), Vector3i(0, 0, 1), p_start };
	Array goals;
	const uint32_t shape = r_in.below(16);
	if (shape == 1) {
		goals = TypedArray<Vector3i>();
	}
	const uint32_t count = (r_in.byte() + 2) % 6;
	for (uint32_t i = 0; i < count; i++) {
		const uint32_t choice = r_in.below(16);
		if (choice < 12) {
			goals.append(base[(choice + i) % 4]);
		} else if (choice < 14) {
			goals.append(p_world.cell(r_in));
		} else if (choice == 14) {
			goals.append(Vector3(1, 0, 0));
		} else {
			goals.append(junk_value(r_in, r_keeper, guest_access_fuzz_names(), 1));
		}
	}
	if (shape == 2) {
		goals.make_read_only();
	}
	return goals;
}

NearestCall decode_call(GuestBytes &r_in, GuestObjectKeeper &r_keeper, GuestPathWorld &r_world) {
	NearestCall call;
	call.start = r_in.below(8) == 7 ? r_world.cell(r_in) : Vector3i(1, 0, 0);
	const Array goals = goal_cells(r_in, r_keeper, r_world, call.start);
	call.goals = goals;

	// The batch the projection opened over these goals, maybe with a tree already built.
	Array targets;
	for (int64_t i = 0; i < goals.size(); i++) {
		if (goals[i].get_type() == Variant::VECTOR3I) {
			targets.append(goals[i]);
		}
	}
	const uint32_t extra = r_in.below(3);
	for (uint32_t i = 0; i < extra; i++) {
		targets.append(r_world.cell(r_in));
	}
	const Vector3i batch_start = r_in.below(16) == 15 ? r_world.cell(r_in) : call.start;
	r_world.open_batch(batch_start, targets, r_in.chance(48));
	r_world.decode_batch_mutations(r_in, r_keeper);
	if (r_in.chance(24) && !goals.is_empty() && goals[0].get_type() == Variant::VECTOR3I) {
		// The first goal's route is already cached.
		r_world.path_cache[cache_key(call.start, goals[0], both_layers_typed(), TypedArray<StringName>(), 42)] = Array();
	}
	r_world.decode_member_mutations(r_in, r_keeper);

	call.path = Variant(r_world.object());
	switch (r_in.below(32)) {
		case 28:
			call.path = Variant(static_cast<Object *>(nullptr));
			break;
		case 29:
			call.path = r_keeper.freed_object();
			call.freed_arguments++;
			break;
		case 30:
			call.path = r_keeper.plain_object();
			break;
		case 31:
			call.path = r_keeper.script_object("res://scripts/world/path_service.gd ");
			break;
		default:
			break;
	}
	if (r_in.chance(32)) {
		call.fallback = r_world.cell(r_in);
	}
	call.layers = both_layers_typed();
	switch (r_in.below(16)) {
		case 12: {
			TypedArray<int64_t> front;
			front.append(int64_t(0));
			call.layers = front;
		} break;
		case 13:
			call.layers = TypedArray<int64_t>();
			break;
		case 14: {
			Array untyped;
			untyped.append(int64_t(1));
			untyped.append(0.0);
			call.layers = untyped;
		} break;
		case 15:
			call.layers = argument_of(junk_value(r_in, r_keeper, guest_access_fuzz_names(), 1), Variant::ARRAY, call.layers);
			break;
		default:
			break;
	}
	call.access = TypedArray<StringName>();
	switch (r_in.below(16)) {
		case 13: {
			TypedArray<StringName> names;
			names.append(StringName("staff"));
			names.append(StringName("a,b:c"));
			call.access = names;
		} break;
		case 14:
			call.access = name_list(r_in, { "vip", "staff", "" });
			break;
		case 15:
			call.access = argument_of(junk_value(r_in, r_keeper, guest_access_fuzz_names(), 1), Variant::ARRAY, call.access);
			break;
		default:
			break;
	}
	call.ticks = r_world.ticks();
	switch (r_in.below(16)) {
		case 14:
			call.ticks = Callable();
			break;
		case 15:
			call.ticks = argument_of(junk_value(r_in, r_keeper, guest_access_fuzz_names(), 0), Variant::CALLABLE, call.ticks);
			break;
		default:
			break;
	}
	// A goal left out of the batch's targets, as a facility added after the batch opened.
	if (r_in.chance(24) && !goals.is_empty()) {
		const Variant batch = r_world.member("_query_batch");
		if (batch.get_type() == Variant::DICTIONARY) {
			const Variant targets_value = Dictionary(batch).get(StringName("targets"), Variant());
			if (targets_value.get_type() == Variant::DICTIONARY && !Dictionary(targets_value).is_read_only()) {
				Dictionary targets_now = targets_value;
				targets_now.erase(goals[r_in.below(uint32_t(goals.size()))]);
			}
		}
	}
	return call;
}

void run_input(const SplitInput &p_input, RunMode p_mode, bool &r_rerun) {
	GuestBytes in(p_input.data, p_input.size);
	GuestObjectKeeper keeper;
	// A plan of misbehaving scripts plays on a plain path service, which they may free.
	GuestPathWorld world(in, keeper, !p_input.plan.empty());
	const NearestCall call = decode_call(in, keeper, world);

	// What the method is handed, as the binder converts it.
	const TypedArray<int64_t> layers(call.layers);
	const TypedArray<StringName> access(call.access);
	const Array goals(call.goals);
	const Array goals_before = goals.duplicate();
	const bool path_is_world = call.path.get_validated_object() == world.object();
	const Variant path = world.object_variant();
	const std::vector<SnapshotRoot> roots = { { "path", path }, { "goals", call.goals }, { "layers", call.layers }, { "access", call.access } };

	HostileWorld hostile;
	hostile.query_members = path_query_members();
	// A route a query cached before a later script made the call decline is a cache entry
	// the script's own query would have written too.
	hostile.query_members.push_back("_path_cache");
	hostile.roots = [&] { return roots; };
	hostile.reentries = { [&] {
		GuestPlugin &plugin = guest_plugin();
		if (!holds_freed_object(call.arguments())) {
			plugin.host.call(plugin.core, "nearest_guest_access", call.arguments());
		}
	} };
	ServiceWrites writes(world);
	const QueryTreeView tree_before = writes.batch_tree();
	CallAudit audit(p_mode, p_input.plan, hostile);
	const Dictionary answer = call_guest_method("nearest_guest_access", call.arguments(), call.freed_arguments);
	audit.finish();
	if (audit.needs_exact()) {
		r_rerun = true;
		return;
	}
	if (audit.acts_fired()) {
		// The scripts may have changed the goals in the middle: the target is one of them
		// as they were or as they are.
		Array either = goals_before.duplicate();
		either.append_array(goals);
		const bool answered = check_access_answer(answer, either, call.fallback) != AccessAnswer::DECLINED;
		FUZZ_CHECK(answered || !audit.plugin_wrote_between_scripts(), "a decline wrote while the scripts misbehaved:\n" + audit.plugin_write_report());
		return;
	}
	const AccessAnswer shape = check_access_answer(answer, goals, call.fallback);
	const bool answered = shape != AccessAnswer::DECLINED;
	const PathPlan &plan = world.plan;

	FUZZ_CHECK(plan.emissions == (answered ? 1 : 0), "path_query_measured emitted " + std::to_string(plan.emissions) + " times; answer " + text(answer));
	if (answered) {
		FUZZ_CHECK(path_is_world, "answered for a service that is not the game's path service");
		FUZZ_CHECK(plan.emitted.get_type() == Variant::INT && int64_t(plan.emitted) >= 0, "measured ticks " + text(plan.emitted));
		FUZZ_CHECK(plan.tick_calls == 2, "ticks called " + std::to_string(plan.tick_calls) + " times in an answer");
		const QueryTreeView tree = writes.ready_before() ? tree_before : QueryTreeView(plan.last_tree);
		check_selection(tree, writes.targets_before(), goals, answer);
	} else {
		FUZZ_CHECK(plan.tick_calls <= 1, "ticks called twice in a decline");
	}
	if (shape == AccessAnswer::REACHABLE && plan.resolutions_failed == 0 && goals[goals.size() - 1] == answer.get(StringName("target_cell"), Variant())) {
		// One resolution, of the selected goal: the last-query fields describe its route.
		int64_t cost = 0;
		const QueryTreeView tree = writes.ready_before() ? tree_before : QueryTreeView(plan.last_tree);
		FUZZ_CHECK(tree.cost_of(answer.get(StringName("target_cell"), Variant()), cost), "no cost for the selected goal");
		const Variant reason = world.member("last_no_route_reason");
		FUZZ_CHECK(reason.get_type() == Variant::STRING_NAME && String(reason) == "OK", "last_no_route_reason is " + text(reason));
		FUZZ_CHECK(world.member("last_path_cost") == Variant(cost), "last_path_cost is not the tree's cost");
		FUZZ_CHECK(world.member("last_error") == Variant(String()), "last_error is not empty");
	}
	if (audit.untouched() && !answered) {
		return; // A decline that wrote nothing.
	}
	const StateSnapshot &before = audit.before(); // Taken now when nothing was written.
	writes.check_and_undo(answered, call.start, goals, layers, access, answer);
	const StateSnapshot after = take_snapshot(roots);
	FUZZ_CHECK(before == after, std::string(answered ? "answer" : "decline") + " wrote where a query may not:\n" + snapshot_diff(before, after));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
	return guest_fuzzer_initialize(nearest_guest_access_seeds);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *p_data, size_t p_size) {
	run_quick_then_exact(p_data, p_size, run_input);
	return 0;
}
