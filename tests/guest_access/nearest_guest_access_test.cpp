// nearest_guest_access: the goal prefilter, the tree built once per batch, selection, route
// resolution into the service's cache and last-query fields, and the measured signal.

#include "access_test_base.hpp"

#include <engine_double/script_hook.hpp>

#include <engine_double/call_log.hpp>

#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/vector3.hpp>

using namespace godot;

namespace veltrin_test {
namespace {

const Vector3i START(2, 0, 0);
const Vector3i EAST(3, 0, 0);
const Vector3i WEST(1, 0, 0);
const Vector3i FAR_EAST(6, 0, 0);
const Vector3i BEHIND(3, 0, 1);
const Vector3i FALLBACK(9, 9, 9);

class NearestTest : public AccessTest {
protected:
	Object *path() const { return resort->path(); }
	Variant path_member(const char *p_name) const { return ResortFixture::member(path(), p_name); }

	std::vector<int64_t> emitted_values() const {
		std::vector<int64_t> values;
		for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries_for(path())) {
			if (entry.kind == engine_double::CallLogKind::EMIT) {
				values.push_back(entry.arguments[0]);
			}
		}
		return values;
	}

	void expect_declined(const Dictionary &p_answer) const {
		EXPECT_EQ(key_texts(p_answer), std::vector<std::string>({ "supported" }));
		EXPECT_FALSE(bool(p_answer.get("supported", true)));
		EXPECT_TRUE(emitted_values().empty());
	}

	void set_blocked(const Vector3i &p_cell) {
		Dictionary traffic;
		traffic["temporary_block"] = true;
		resort->cell_traffic[p_cell] = traffic;
	}

	// A ready batch holding a hand-made tree.
	void open_batch_with_tree(const Dictionary &p_tree, const Array &p_goals) {
		resort->open_batch(START, p_goals);
		Dictionary batch = resort->query_batch();
		batch["tree"] = p_tree;
		batch["ready"] = true;
		batch["arithmetic_wrapped"] = false;
	}
};

TEST_F(NearestTest, AnswersFromTheTreeAndRecordsTheRouteInTheService) {
	resort->open_batch(START, cells({ EAST }));
	const Dictionary answer = nearest(START, cells({ EAST }), FALLBACK);

	EXPECT_EQ(key_texts(answer), std::vector<std::string>({ "supported", "reachable", "path", "target_cell" }));
	EXPECT_TRUE(bool(answer.get("supported", false)));
	EXPECT_TRUE(bool(answer.get("reachable", false)));
	Array route = answer.get("path", Variant());
	EXPECT_EQ(route.get_typed_builtin(), Variant::VECTOR3I);
	EXPECT_EQ(route, cells({ START, EAST }));
	EXPECT_EQ(Vector3i(answer.get("target_cell", Variant())), EAST);

	std::vector<std::string> expected = { "get _query_batch", "get _passable_cells", "get _cell_traffic", "get _path_cache",
		"get graph_revision", "call _build_guest_query_tree_compact", "get _guest_tree_arithmetic_wrapped",
		"get _passable_cells", "get _cell_traffic", "get _cell_traffic", "get graph_revision", "get _path_cache",
		"get _query_batch", "get cache_misses", "set cache_misses", "call _guest_tree_reconstruct_path" };
#ifndef VELTRIN_NATIVE_ROUTE_COPY
	expected.push_back("call _copy_path");
#endif
	for (const char *tail : { "set last_no_route_reason", "set last_path_cost", "set last_error", "emit path_query_measured" }) {
		expected.push_back(tail);
	}
	EXPECT_EQ(log_names(path()), expected);

	const String key = "2,0,0>3,0,0|L:0,1|A:|R:42";
	ASSERT_TRUE(resort->path_cache.has(key));
	Array cached = resort->path_cache.get(key, Variant());
	EXPECT_EQ(cached, cells({ START, EAST }));
	// The cache holds its own copy.
	route.append(FAR_EAST);
	EXPECT_EQ(cached.size(), 2);
	EXPECT_EQ(int64_t(path_member("cache_misses")), 1);
	EXPECT_EQ(path_member("last_no_route_reason"), Variant(StringName("OK")));
	EXPECT_EQ(int64_t(path_member("last_path_cost")), RESORT_ORTHOGONAL_COST);
	EXPECT_EQ(path_member("last_error"), Variant(String()));
	EXPECT_EQ(emitted_values(), std::vector<int64_t>({ 3 }));
	EXPECT_EQ(resort->tick_calls(), 2);
	const Dictionary batch = resort->query_batch();
	EXPECT_TRUE(bool(batch.get("ready", false)));
	EXPECT_FALSE(bool(batch.get("arithmetic_wrapped", true)));
	EXPECT_EQ(batch.get("tree", Variant()).get_type(), Variant::DICTIONARY);
}

// The caller's script empties its goal list from inside the tree build: the query still
// answers for the goals it was given and never indexes the emptied list.
TEST_F(NearestTest, GoalsTheScriptEmptiesMidCallAreTheGoalsItWasGiven) {
	resort->open_batch(START, cells({ EAST }));
	Array goals = cells({ EAST });
	engine_double::script_hook_set([goals](engine_double::ScriptHookCall &r_call) mutable {
		if (r_call.method == StringName("_build_guest_query_tree_compact")) {
			goals.clear();
		}
	});
	const Dictionary answer = nearest(START, goals, FALLBACK);
	engine_double::script_hook_set(nullptr);
	EXPECT_TRUE(goals.is_empty());
	EXPECT_TRUE(take_errors().empty());
	EXPECT_EQ(Vector3i(answer.get("target_cell", Variant())), EAST);
}

TEST_F(NearestTest, DeclinesBadArgumentsBeforeAskingTheTickSource) {
	resort->open_batch(START, cells({ EAST }));
	const Variant foreign = resort->elevators();
	expect_declined(nearest(START, Array()));
	expect_declined(nearest(Variant(), START, cells({ EAST }), FALLBACK, ResortFixture::layers(), ResortFixture::no_access(), resort->ticks()));
	expect_declined(nearest(resort->path(), START, cells({ EAST }), FALLBACK, ResortFixture::layers(), ResortFixture::no_access(), Callable()));
	expect_declined(nearest(foreign, START, cells({ EAST }), FALLBACK, ResortFixture::layers(), ResortFixture::no_access(), resort->ticks()));
	// A goal that is not a cell, even behind a good one.
	Array goals = cells({ EAST });
	goals.append(Vector3(4, 0, 0));
	expect_declined(nearest(START, goals));
	EXPECT_EQ(resort->tick_calls(), 0);
	EXPECT_FALSE(changed_anything(path()));
	EXPECT_EQ(ResortFixture::call_count(path(), "_build_guest_query_tree_compact"), 0);
}

TEST_F(NearestTest, DeclinesAStartTheBatchCannotServe) {
	expect_declined(nearest(START, cells({ EAST })));
	resort->open_batch(START, cells({ EAST }));
	expect_declined(nearest(WEST, cells({ EAST })));
	TypedArray<int64_t> back_only;
	back_only.append(int64_t(1));
	expect_declined(nearest(resort->path(), START, cells({ EAST }), FALLBACK, back_only, ResortFixture::no_access(), resort->ticks()));
	set_blocked(START);
	expect_declined(nearest(START, cells({ EAST })));
	resort->cell_traffic.clear();
	resort->passable.erase(START);
	expect_declined(nearest(START, cells({ EAST })));
	EXPECT_EQ(resort->tick_calls(), 0);
	EXPECT_FALSE(changed_anything(path()));
}

TEST_F(NearestTest, DeclinesAGoalReachableOutsideTheBatch) {
	resort->open_batch(START, cells({ EAST }));
	// Passable, permitted and unblocked on the start's layer: the service's own query would find it.
	expect_declined(nearest(START, cells({ EAST, FAR_EAST })));
	// On the other layer it depends on the crossing.
	expect_declined(nearest(START, cells({ EAST, BEHIND })));
	EXPECT_EQ(ResortFixture::call_count(path(), "_guest_batch_has_permitted_layer_crossing"), 1);
	EXPECT_EQ(resort->tick_calls(), 0);

	resort->options().layer_crossing_permitted = false;
	const Dictionary answer = nearest(START, cells({ EAST, BEHIND }));
	EXPECT_TRUE(bool(answer.get("supported", false)));
	EXPECT_EQ(Vector3i(answer.get("target_cell", Variant())), EAST);
	// The last goal is not the batch's: the service answers it its own way.
	EXPECT_EQ(ResortFixture::call_count(path(), "_find_path_internal"), 1);
	EXPECT_EQ(int64_t(path_member("cache_misses")), 1);
}

TEST_F(NearestTest, ABlockedGoalOutsideTheBatchIsSkippedAndStillResolvedLast) {
	resort->open_batch(START, cells({ EAST }));
	resort->passable.erase(EAST);
	set_blocked(FAR_EAST);
	const Dictionary answer = nearest(START, cells({ EAST, FAR_EAST }), FALLBACK);
	EXPECT_TRUE(bool(answer.get("supported", false)));
	EXPECT_FALSE(bool(answer.get("reachable", true)));
	const Array route = answer.get("path", Variant());
	EXPECT_TRUE(route.is_empty());
	EXPECT_EQ(route.get_typed_builtin(), Variant::VECTOR3I);
	EXPECT_EQ(Vector3i(answer.get("target_cell", Variant())), FALLBACK);
	// The last-query fields describe the last goal.
	EXPECT_EQ(path_member("last_no_route_reason"), Variant(StringName("GOAL_TEMPORARILY_BLOCKED")));
	EXPECT_EQ(emitted_values().size(), 1u);
}

TEST_F(NearestTest, DeclinesWhenAGoalsRouteIsAlreadyCached) {
	resort->open_batch(START, cells({ EAST, FAR_EAST }));
	resort->path_cache["2,0,0>6,0,0|L:0,1|A:|R:42"] = cells({ START, FAR_EAST });
	expect_declined(nearest(START, cells({ EAST, FAR_EAST })));
	EXPECT_EQ(resort->tick_calls(), 0);
	EXPECT_EQ(ResortFixture::call_count(path(), "_build_guest_query_tree_compact"), 0);
}

TEST_F(NearestTest, TakesTheCheapestGoalAndTheFirstOfATie) {
	resort->open_batch(START, cells({ FAR_EAST, EAST, WEST }));
	Dictionary answer = nearest(START, cells({ FAR_EAST, EAST }));
	EXPECT_EQ(Vector3i(answer.get("target_cell", Variant())), EAST);
	// The selected goal is the last one: one resolution only.
	EXPECT_EQ(int64_t(path_member("cache_misses")), 1);
	EXPECT_FALSE(resort->path_cache.has("2,0,0>6,0,0|L:0,1|A:|R:42"));

	resort->path_cache.clear();
	answer = nearest(START, cells({ EAST, WEST }));
	EXPECT_EQ(Vector3i(answer.get("target_cell", Variant())), EAST);
	EXPECT_EQ(Array(answer.get("path", Variant())), cells({ START, EAST }));
	// The last goal is resolved too, and the last-query fields describe it.
	EXPECT_TRUE(resort->path_cache.has("2,0,0>1,0,0|L:0,1|A:|R:42"));
	EXPECT_EQ(int64_t(path_member("cache_misses")), 3);
	EXPECT_EQ(int64_t(path_member("last_path_cost")), RESORT_ORTHOGONAL_COST);
	EXPECT_EQ(ResortFixture::call_count(path(), "_build_guest_query_tree_compact"), 1);
}

TEST_F(NearestTest, NothingSettledAnswersUnreachableAndResolvesTheLastGoal) {
	resort->open_batch(START, cells({ EAST, FAR_EAST }));
	resort->passable.erase(EAST);
	resort->passable.erase(FAR_EAST);
	const Dictionary answer = nearest(START, cells({ EAST, FAR_EAST }), FALLBACK);
	EXPECT_TRUE(bool(answer.get("supported", false)));
	EXPECT_FALSE(bool(answer.get("reachable", true)));
	EXPECT_EQ(Vector3i(answer.get("target_cell", Variant())), FALLBACK);
	EXPECT_EQ(path_member("last_no_route_reason"), Variant(StringName("GOAL_NOT_PASSABLE")));
	EXPECT_EQ(ResortFixture::call_count(path(), "_route_failure"), 1);
	EXPECT_EQ(emitted_values().size(), 1u);
}

TEST_F(NearestTest, TheStartAsGoalIsARouteOfOneCell) {
	resort->open_batch(START, cells({ START }));
	const Dictionary answer = nearest(START, cells({ START }));
	EXPECT_EQ(Array(answer.get("path", Variant())), cells({ START }));
	EXPECT_EQ(int64_t(path_member("last_path_cost")), 0);
	EXPECT_EQ(ResortFixture::call_count(path(), "_guest_tree_reconstruct_path"), 0);
}

TEST_F(NearestTest, BuildsTheTreeOncePerBatchWhateverItHolds) {
	resort->open_batch(START, cells({ EAST, WEST }));
	nearest(START, cells({ EAST }));
	nearest(START, cells({ WEST }));
	EXPECT_EQ(ResortFixture::call_count(path(), "_build_guest_query_tree_compact"), 1);
	EXPECT_EQ(emitted_values().size(), 2u);

	resort->path_cache.clear();
	resort->options().tree_usable = false;
	resort->open_batch(START, cells({ EAST, WEST }));
	engine_double::call_log_clear();
	expect_declined(nearest(START, cells({ EAST })));
	expect_declined(nearest(START, cells({ WEST })));
	EXPECT_EQ(ResortFixture::call_count(path(), "_build_guest_query_tree_compact"), 1);

	resort->options().tree_usable = true;
	resort->options().tree_arithmetic_wrapped = true;
	resort->open_batch(START, cells({ EAST }));
	expect_declined(nearest(START, cells({ EAST })));
	EXPECT_TRUE(bool(resort->query_batch().get("arithmetic_wrapped", false)));
}

TEST_F(NearestTest, DeclinesABatchThatCannotKeepItsTree) {
	// A read-only batch refuses the tree: answering would use whatever stale tree it holds.
	resort->open_batch(START, cells({ EAST }));
	Dictionary batch = resort->query_batch();
	Dictionary stale;
	stale["usable"] = true;
	batch["tree"] = stale;
	batch.make_read_only();
	expect_declined(nearest(START, cells({ EAST })));
	EXPECT_EQ(resort->query_batch().get("tree", Variant()), Variant(stale));
	EXPECT_FALSE(bool(resort->query_batch().get("ready", false)));
	// Known before anything is asked: the tree is never built for nothing.
	EXPECT_EQ(ResortFixture::call_count(path(), "_build_guest_query_tree_compact"), 0);
	EXPECT_EQ(resort->tick_calls(), 0);
}

TEST_F(NearestTest, DeclinesARouteCacheThatCannotKeepTheRoute) {
	// Answering would report a route (reason "OK") that the service never recorded.
	resort->open_batch(START, cells({ EAST }));
	resort->path_cache.make_read_only();
	expect_declined(nearest(START, cells({ EAST })));
	EXPECT_FALSE(changed_anything(path()));
	EXPECT_EQ(resort->tick_calls(), 0);
}

TEST_F(NearestTest, DeclinesWhenTheServiceLocksItsStateMidQuery) {
	// The service's own script makes the batch, then the route cache, read-only during the
	// query: the refused writes are never attempted (the engine would print an error).
	const char *const locked[] = { "_query_batch", "_path_cache" };
	for (const char *member : locked) {
		SCOPED_TRACE(member);
		resort->path_cache.clear();
		resort->open_batch(START, cells({ EAST, WEST }));
		Dictionary state = path_member(member);
		engine_double::script_hook_set([state](engine_double::ScriptHookCall &r_call) mutable {
			if (r_call.point == engine_double::ScriptHookPoint::AFTER && r_call.method == StringName("_build_guest_query_tree_compact")) {
				state.make_read_only();
			}
		});
		expect_declined(nearest(START, cells({ EAST, WEST })));
		engine_double::script_hook_set(nullptr);
		EXPECT_TRUE(take_errors().empty());
		EXPECT_TRUE(resort->path_cache.is_empty());
	}
}

TEST_F(NearestTest, ReadsCostsFromEitherTreeFormAndDeclinesAMissingOne) {
	resort->options().tree_compact = false;
	resort->open_batch(START, cells({ EAST, FAR_EAST }));
	Dictionary answer = nearest(START, cells({ FAR_EAST, EAST }));
	EXPECT_EQ(Vector3i(answer.get("target_cell", Variant())), EAST);

	Dictionary settled;
	settled[EAST] = true;
	Dictionary indices;
	indices[EAST] = 1;
	PackedInt64Array costs;
	costs.push_back(0);
	Dictionary tree;
	tree["usable"] = true;
	tree["compact"] = true;
	tree["settled"] = settled;
	tree["indices"] = indices;
	tree["cost_values"] = costs;
	resort->path_cache.clear();
	open_batch_with_tree(tree, cells({ EAST }));
	engine_double::call_log_clear();
	expect_declined(nearest(START, cells({ EAST })));
	indices[EAST] = -1;
	expect_declined(nearest(START, cells({ EAST })));
	indices.erase(EAST);
	expect_declined(nearest(START, cells({ EAST })));
	EXPECT_EQ(ResortFixture::call_count(path(), "_guest_tree_reconstruct_path"), 0);
}

TEST_F(NearestTest, AFailedRouteOfTheSelectedGoalDeclinesButKeepsWhatTheServiceRecorded) {
	resort->options().layer_crossing_permitted = false;
	resort->open_batch(START, cells({ BEHIND }));
	expect_declined(nearest(START, cells({ BEHIND })));
	EXPECT_EQ(int64_t(path_member("cache_misses")), 1);
	EXPECT_EQ(path_member("last_no_route_reason"), Variant(StringName("GOAL_UNREACHABLE")));
	EXPECT_TRUE(resort->path_cache.is_empty());
}

TEST_F(NearestTest, RefusesAnUntypedReconstructedRouteWithTheEnginesError) {
	resort->options().reconstruct_typed = false;
	resort->open_batch(START, cells({ EAST }));
	expect_declined(nearest(START, cells({ EAST })));
	EXPECT_EQ(take_errors(), std::vector<std::string>({ "Cannot assign an array with a different element type." }));
	const std::vector<std::string> names = log_names(path());
	const std::vector<std::string> tail(names.end() - 3, names.end());
	EXPECT_EQ(tail, std::vector<std::string>({ "call _guest_tree_reconstruct_path", "call _diagnose_no_route_reason", "call _route_failure" }));
	EXPECT_EQ(path_member("last_no_route_reason"), Variant(StringName("NO_WALKABLE_ROUTE")));
	EXPECT_TRUE(resort->path_cache.is_empty());
}

TEST_F(NearestTest, KeysTheCacheByLayersAccessNamesAndRevision) {
	resort->open_batch(START, cells({ EAST }));
	TypedArray<StringName> access;
	access.append(StringName("staff"));
	access.append(StringName("vip"));
	nearest(resort->path(), START, cells({ EAST }), FALLBACK, ResortFixture::layers(), access, resort->ticks());
	const Array keys = resort->path_cache.keys();
	ASSERT_EQ(keys.size(), 1);
	EXPECT_EQ(keys[0], Variant(String("2,0,0>3,0,0|L:0,1|A:5:staff,3:vip|R:42")));
}

TEST_F(NearestTest, ABackwardTickSourceMeasuresZero) {
	resort->options().tick_step = -5;
	resort->open_batch(START, cells({ EAST }));
	nearest(START, cells({ EAST }));
	EXPECT_EQ(emitted_values(), std::vector<int64_t>({ 0 }));
}

#ifdef VELTRIN_DIAGNOSTICS
TEST_F(NearestTest, CountsItsPhases) {
	call("diagnostic_reset");
	resort->open_batch(START, cells({ EAST, WEST }));
	nearest(START, cells({ EAST, WEST }));
	nearest(START, Array());
	const Dictionary snapshot = call("diagnostic_snapshot");
	auto calls_of = [&snapshot](const char *p_phase) {
		return int64_t(Dictionary(snapshot.get(StringName(p_phase), Variant())).get("calls", -1));
	};
	EXPECT_EQ(calls_of("nearest_total"), 2);
	EXPECT_EQ(calls_of("query_tree_build"), 1);
	EXPECT_EQ(calls_of("route_resolve"), 2);
	EXPECT_EQ(calls_of("projection_total"), 0);
}
#endif

} // namespace
} // namespace veltrin_test
