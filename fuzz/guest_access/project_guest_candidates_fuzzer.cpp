// project_guest_candidates on the engine double: the runtime and its six services over a
// small grid with a cafe, an inn and a spa (more facilities, their members, the guest, the
// services and what every scripted method answers mutated by the input), and arguments
// mutated around the valid ones. Checks: the answer has one of its three shapes; a decline
// or a missing guest opens no batch and changes nothing; a projection opens and closes one
// batch, builds rows of the two row shapes, and changes the path service only where its
// access searches may (the batch member, cache entries of the guest's cell, cache_misses,
// the last-query fields, the tree's wrapped flag) and nothing else anywhere.

#include "guest_access_checks.hpp"
#include "guest_fuzz_values.hpp"
#include "guest_path_world.hpp"
#include "guest_resort_world.hpp"

#include <fuzz_check.hpp>
#include <hostile_scripts.hpp>
#include <state_snapshot.hpp>

#include <godot_cpp/variant/typed_array.hpp>

using namespace godot;
using namespace veltrin_fuzz;

namespace {

const char *const NEEDS[] = { "hunger", "sleep", "hygiene", "medical", "leisure", "intimacy" };
const char *const FULL_ROW[] = { "facility_id", "facility_tags", "is_open", "reachable", "travel_minutes", "expected_wait", "estimated_total_gold", "expected_quality", "need_relief", "risk_level", "illegal_level", "group_fit", "service_category", "path_handle" };
const char *const PATH_FIELDS[] = { "cache_misses", "last_no_route_reason", "last_path_cost", "last_error", "_guest_tree_arithmetic_wrapped", "_query_batch" };

struct ProjectionCall {
	Variant runtime;
	Variant guest_id = StringName("g1");
	int64_t open_state = 1;
	int64_t degraded_state = 2;
	int64_t movement_scale = 10;
	int64_t stair_credit = 20;
	int64_t orthogonal_cost = 100;
	Variant ticks;
	int freed_arguments = 0;

	std::vector<Variant> arguments() const { return { runtime, guest_id, open_state, degraded_state, movement_scale, stair_credit, orthogonal_cost, ticks }; }
};

ProjectionCall decode_call(GuestBytes &r_in, GuestObjectKeeper &r_keeper, const GuestResortWorld &p_resort) {
	ProjectionCall call;
	call.runtime = Variant(p_resort.runtime());
	switch (r_in.below(32)) {
		case 29:
			call.runtime = Variant(static_cast<Object *>(nullptr));
			break;
		case 30:
			call.runtime = r_keeper.freed_object();
			call.freed_arguments++;
			break;
		case 31:
			call.runtime = r_keeper.script_object("res://autoload/simulation_runtime.gd ");
			break;
		default:
			break;
	}
	if (r_in.chance(16)) {
		call.guest_id = StringName("nobody");
	}
	if (r_in.chance(48)) {
		int64_t *numbers[] = { &call.open_state, &call.degraded_state, &call.movement_scale, &call.stair_credit, &call.orthogonal_cost };
		*numbers[r_in.below(5)] = r_in.edge_int();
	}
	call.ticks = p_resort.path.ticks();
	if (r_in.chance(12)) {
		call.ticks = Callable();
	}
	return call;
}

bool is_decline(const Dictionary &p_answer) {
	const Variant supported = p_answer.get(StringName("supported"), Variant());
	return p_answer.size() == 1 && supported.get_type() == Variant::BOOL && !bool(supported);
}

void check_keys(const Dictionary &p_row, const char *const *p_keys, int p_count) {
	const Array keys = p_row.keys();
	FUZZ_CHECK(keys.size() == p_count, "a row of " + std::to_string(keys.size()) + " entries: " + text(p_row));
	for (int i = 0; i < p_count; i++) {
		FUZZ_CHECK(keys[i].get_type() == Variant::STRING_NAME && String(keys[i]) == String(p_keys[i]), "row keys out of order: " + text(keys));
	}
}

void check_row(const Dictionary &p_row) {
	if (p_row.size() == 2) {
		const char *const SHORT_ROW[] = { "facility_id", "inputs_available" };
		check_keys(p_row, SHORT_ROW, 2);
		const Variant available = p_row.get(StringName("inputs_available"), Variant());
		FUZZ_CHECK(available.get_type() == Variant::BOOL && !bool(available), "a short row whose inputs are available");
		return;
	}
	check_keys(p_row, FULL_ROW, 14);
	const auto value = [&p_row](const char *p_key) { return p_row.get(StringName(p_key), Variant()); };
	FUZZ_CHECK(value("facility_tags").get_type() == Variant::ARRAY, "facility_tags is not an Array");
	FUZZ_CHECK(value("is_open").get_type() == Variant::BOOL, "is_open is not a bool");
	for (const char *key : { "travel_minutes", "expected_wait", "expected_quality", "risk_level", "illegal_level", "group_fit" }) {
		FUZZ_CHECK(value(key).get_type() == Variant::INT, std::string(key) + " is not an int");
	}
	const int64_t quality = value("expected_quality");
	FUZZ_CHECK(quality >= 0 && quality <= 100, "expected_quality outside 0..100");
	FUZZ_CHECK(int64_t(value("risk_level")) == 0 && int64_t(value("illegal_level")) == 0, "risk or illegality is not 0");
	FUZZ_CHECK(int64_t(value("group_fit")) <= 20, "group_fit above 20");
	FUZZ_CHECK(value("need_relief").get_type() == Variant::DICTIONARY, "need_relief is not a Dictionary");
	const Array tags = value("facility_tags");
	if (tags.get_typed_builtin() == Variant::STRING_NAME) {
		// The native map and category: all six needs in order, one of four categories.
		const Array needs = Dictionary(value("need_relief")).keys();
		FUZZ_CHECK(needs.size() == 6, "a native need relief map without six needs");
		for (int i = 0; i < 6; i++) {
			FUZZ_CHECK(String(needs[i]) == String(NEEDS[i]), "native need relief out of order");
		}
		const Variant category = value("service_category");
		const String name = category;
		FUZZ_CHECK(category.get_type() == Variant::STRING_NAME && (name == "food" || name == "lodging" || name == "leisure" || name == "service"), "native category " + text(category));
	}
	const Variant handle = value("path_handle");
	FUZZ_CHECK(handle.get_type() == Variant::DICTIONARY, "path_handle is not a Dictionary");
	const char *const HANDLE[] = { "target_cell", "graph_revision" };
	check_keys(handle, HANDLE, 2);
}

// The path service state the access searches of a projection may write.
struct PathState {
	Variant fields[6];
	Dictionary cache;
	bool cache_shared = false;
	Dictionary entries;

	explicit PathState(const GuestPathWorld &p_world) {
		for (int i = 0; i < 6; i++) {
			fields[i] = p_world.member(PATH_FIELDS[i]);
		}
		const Variant cache_value = p_world.member("_path_cache");
		if (cache_value.get_type() == Variant::DICTIONARY) {
			cache = cache_value;
			cache_shared = true;
			const Array keys = cache.keys();
			for (int64_t i = 0; i < keys.size(); i++) {
				entries[keys[i]] = cache.get(keys[i], Variant());
			}
		}
	}

	// Fails on a cache entry that is not a route from the guest's cell under the
	// projection's layers and access; then restores every write a search may make.
	void check_and_undo(const GuestPathWorld &p_world, const Vector3i &p_start) {
		if (cache_shared) {
			String start;
			start += String::num_int64(p_start.x) + "," + String::num_int64(p_start.y) + "," + String::num_int64(p_start.z) + ">";
			const String suffix = "|L:0,1|A:|R:" + String::num_int64(int64_t(p_world.member("graph_revision")));
			const Array keys = cache.keys();
			for (int64_t i = 0; i < keys.size(); i++) {
				const Variant key = keys[i];
				const bool existed = entries.has(key);
				if (existed && same_value(entries.get(key, Variant()), cache.get(key, Variant()))) {
					continue;
				}
				const String name = key;
				FUZZ_CHECK(key.get_type() == Variant::STRING && name.begins_with(start) && name.ends_with(suffix), "a cache entry no search of the guest may write: " + text(key));
				if (existed) {
					cache[key] = entries.get(key, Variant());
				} else {
					cache.erase(key);
				}
			}
			FUZZ_CHECK(cache.size() == entries.size(), "a cache entry was removed");
		}
		for (int i = 0; i < 6; i++) {
			p_world.set_member(PATH_FIELDS[i], fields[i]);
		}
	}
};

std::vector<SnapshotRoot> resort_roots(const GuestResortWorld &p_resort) {
	std::vector<SnapshotRoot> roots;
	for (size_t i = 0; i < p_resort.objects.size(); i++) {
		roots.emplace_back("object" + std::to_string(i), p_resort.objects[i]);
	}
	roots.emplace_back("instances", p_resort.instances);
	roots.emplace_back("later_instances", p_resort.plan.later_instances);
	return roots;
}

void run_input(const SplitInput &p_input, RunMode p_mode, bool &r_rerun) {
	GuestBytes in(p_input.data, p_input.size);
	GuestObjectKeeper keeper;
	// A plan of misbehaving scripts plays on plain objects (the path service, guests,
	// definitions, facility instances), which they may free.
	const bool plain = !p_input.plan.empty();
	GuestPathWorld world(in, keeper, plain);
	GuestResortWorld resort(in, keeper, world, plain);
	world.decode_member_mutations(in, keeper);
	const ProjectionCall call = decode_call(in, keeper, resort);

	HostileWorld hostile;
	hostile.query_members = path_query_members();
	// A route a query cached before a later script made the call decline is a cache entry
	// the script's own query would have written too.
	hostile.query_members.push_back("_path_cache");
	hostile.roots = [&] { return resort_roots(resort); };
	hostile.reentries = { [&] {
		GuestPlugin &plugin = guest_plugin();
		if (!holds_freed_object(call.arguments())) {
			plugin.host.call(plugin.core, "project_guest_candidates", call.arguments());
		}
	} };
	PathState path_state(world);
	CallAudit audit(p_mode, p_input.plan, hostile);
	const Dictionary answer = call_guest_method("project_guest_candidates", call.arguments(), call.freed_arguments);
	audit.finish();
	if (audit.needs_exact()) {
		r_rerun = true;
		return;
	}
	const PathPlan &plan = world.plan;

	bool projected = false;
	if (!is_decline(answer)) {
		const char *const ORDER[] = { "supported", "candidates" };
		check_keys(answer, ORDER, 2);
		FUZZ_CHECK(answer.get(StringName("supported"), Variant()).get_type() == Variant::BOOL && bool(answer.get(StringName("supported"), false)), "supported is not true");
		const Variant candidates = answer.get(StringName("candidates"), Variant());
		FUZZ_CHECK(candidates.get_type() == Variant::ARRAY, "candidates is not an Array");
		const Array rows = candidates;
		for (int64_t i = 0; i < rows.size(); i++) {
			FUZZ_CHECK(rows[i].get_type() == Variant::DICTIONARY, "a row is not a Dictionary");
			check_row(rows[i]);
		}
		if (audit.acts_fired()) {
			return; // The scripts changed what the rows are checked against.
		}
		projected = plan.batches_opened > 0;
		if (!projected) {
			FUZZ_CHECK(rows.is_empty(), "rows without a query batch");
		}
		// At most one row per facility of the list the rows follow (the second answer).
		const Variant listed = resort.plan.later_instances.get_type() != Variant::NIL ? resort.plan.later_instances : Variant(resort.instances);
		FUZZ_CHECK(rows.size() <= Array(listed).size(), "more rows than facilities");
	} else if (audit.acts_fired()) {
		FUZZ_CHECK(!audit.plugin_wrote_between_scripts(), "a decline wrote while the scripts misbehaved:\n" + audit.plugin_write_report());
		return;
	}
	FUZZ_CHECK(plan.batches_opened == (projected ? 1 : 0) && plan.batches_closed == plan.batches_opened && !plan.batch_order_broken, "batches opened " + std::to_string(plan.batches_opened) + ", closed " + std::to_string(plan.batches_closed));
	if (audit.untouched() && !projected) {
		return; // A decline that wrote nothing.
	}
	const StateSnapshot &before = audit.before(); // Taken now when nothing was written.
	if (projected) {
		const Object *guest = resort.objects.back().get_validated_object();
		path_state.check_and_undo(world, guest == nullptr ? Vector3i() : Vector3i(const_cast<Object *>(guest)->get("current_cell")));
	}
	const StateSnapshot after = take_snapshot(resort_roots(resort));
	FUZZ_CHECK(before == after, std::string(projected ? "a projection" : "a decline") + " wrote where it may not:\n" + snapshot_diff(before, after));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
	return guest_fuzzer_initialize(project_guest_candidates_seeds);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *p_data, size_t p_size) {
	run_quick_then_exact(p_data, p_size, run_input);
	return 0;
}
