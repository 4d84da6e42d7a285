// search, search_cached and clear_edge_cache, called by name as the path service does.

#include "path_service_fixture.hpp"
#include "route_test_base.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/custom_callable.hpp>

#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/string.hpp>

#include <functional>
#include <limits>
#include <memory>
#include <vector>

using namespace godot;

namespace veltrin_test {
namespace {

constexpr int64_t UNREACHED = std::numeric_limits<int64_t>::max();

// A provider answering from a table of cell → rows, as a script lambda would; counts calls.
struct TableProvider {
	Dictionary answers;
	std::shared_ptr<int64_t> calls = std::make_shared<int64_t>(0);
	Callable callable;

	TableProvider() {
		const Dictionary table = answers;
		const std::shared_ptr<int64_t> counter = calls;
		callable = engine_double::make_lambda_callable([table, counter](const Variant **p_arguments, int p_count) -> Variant {
			(*counter)++;
			return p_count == 1 ? table.get(*p_arguments[0], Array()) : Variant();
		},
		        1);
	}
};

Vector3i cell(int32_t p_x) {
	return Vector3i(p_x, 0, 0);
}

String status_of(const Dictionary &p_answer) {
	return p_answer.get("status", Variant());
}

class SearchEntryTest : public RouteTest {
protected:
	CellGraph line;
	TableProvider provider;

	// c0 -1-> c1 -1-> c2 -1-> c3, a detour c0 -4-> c2, and c4 that nothing reaches.
	void SetUp() override {
		RouteTest::SetUp();
		for (int32_t x = 0; x < 5; x++) {
			line.indices[cell(x)] = x;
			line.cells.append(cell(x));
		}
		provider.answers[cell(0)] = array_of({ edge_row(cell(2), 4), edge_row(cell(1), 1) });
		provider.answers[cell(1)] = array_of({ edge_row(cell(2), 1) });
		provider.answers[cell(2)] = array_of({ edge_row(cell(3), 1) });
		provider.answers[cell(4)] = array_of({ edge_row(cell(0), 1) });
	}

	Dictionary line_search(const Dictionary &p_goals, int64_t p_start = 0) const {
		return search(line.cells, line.indices, p_start, p_goals, provider.callable);
	}
};

TEST_F(SearchEntryTest, AnswersTheWholeSearchRecordInItsKeyOrder) {
	const Dictionary answer = line_search(goal_set({ cell(3) }));
	EXPECT_EQ(key_texts(answer), std::vector<std::string>({ "status", "cost_values", "parent_indices", "discovered", "parent_discovered", "settled" }));
	EXPECT_EQ(status_of(answer), String("usable"));
	const Variant costs = answer.get("cost_values", Variant());
	ASSERT_EQ(costs.get_type(), Variant::PACKED_INT64_ARRAY);
	EXPECT_EQ(PackedInt64Array(costs), PackedInt64Array({ 0, 1, 2, 3, UNREACHED }));
	EXPECT_EQ(PackedInt64Array(answer.get("parent_indices", Variant())), PackedInt64Array({ -1, 0, 1, 2, -1 }));
	const Array discovered = answer.get("discovered", Variant());
	EXPECT_EQ(discovered.get_typed_builtin(), int64_t(Variant::INT));
	EXPECT_EQ(discovered, array_of({ 0, 2, 1, 3 }));
	const Array parent_discovered = answer.get("parent_discovered", Variant());
	EXPECT_EQ(parent_discovered.get_typed_builtin(), int64_t(Variant::INT));
	EXPECT_EQ(parent_discovered, array_of({ 2, 1, 3 }));
	const Dictionary settled = answer.get("settled", Variant());
	EXPECT_EQ(settled.keys(), array_of({ cell(0), cell(1), cell(2), cell(3) }));
	EXPECT_EQ(settled.values(), array_of({ true, true, true, true }));
	// The goal is settled before its own rows are needed.
	EXPECT_EQ(*provider.calls, 3);
}

TEST_F(SearchEntryTest, RefusesABadStartOrProviderWithoutAskingIt) {
	for (const int64_t start : { int64_t(5), int64_t(-1) }) {
		const Dictionary answer = line_search(goal_set({ cell(3) }), start);
		EXPECT_EQ(key_texts(answer), std::vector<std::string>({ "status" }));
		EXPECT_EQ(status_of(answer), String("unusable"));
	}
	EXPECT_EQ(status_of(search(line.cells, line.indices, 0, goal_set({ cell(3) }), Callable())), String("unusable"));
	EXPECT_EQ(*provider.calls, 0);
}

TEST_F(SearchEntryTest, GoalsDecideHowFarTheSearchGoes) {
	const Dictionary start_only = line_search(Dictionary(), 2);
	EXPECT_EQ(Dictionary(start_only.get("settled", Variant())).keys(), array_of({ cell(2) }));
	EXPECT_EQ(Array(start_only.get("discovered", Variant())), array_of({ 2 }));
	EXPECT_EQ(Array(start_only.get("parent_discovered", Variant())), Array());
	EXPECT_EQ(*provider.calls, 0);

	// Unreachable: every reachable node is expanded and the goal keeps no parent.
	const Dictionary unreachable = line_search(goal_set({ cell(4) }));
	EXPECT_EQ(status_of(unreachable), String("usable"));
	EXPECT_EQ(PackedInt64Array(unreachable.get("cost_values", Variant()))[4], UNREACHED);
	EXPECT_EQ(PackedInt64Array(unreachable.get("parent_indices", Variant()))[4], -1);
	EXPECT_FALSE(Dictionary(unreachable.get("settled", Variant())).has(cell(4)));
	EXPECT_EQ(*provider.calls, 4);

	// A goal outside the numbering never lets the search stop early.
	*provider.calls = 0;
	const Dictionary missing = line_search(goal_set({ cell(1), Vector3i(7, 7, 7) }));
	EXPECT_EQ(Dictionary(missing.get("settled", Variant())).size(), 4);
	EXPECT_EQ(*provider.calls, 4);
}

TEST_F(SearchEntryTest, BadRowsMakeTheSearchUnusableOnceItReachesThem) {
	const std::vector<Variant> bad_answers = { array_of({ edge_row(cell(1), 0) }), array_of({ edge_row(cell(1), -3) }),
		array_of({ array_of({ cell(1), 2.5 }) }), array_of({ array_of({ cell(1) }) }), Variant(), String("rows"),
		array_of({ cell(1) }), array_of({ edge_row(Vector3i(8, 8, 8), 2) }) };
	for (const Variant &bad : bad_answers) {
		provider.answers[cell(0)] = bad;
		const Dictionary answer = line_search(goal_set({ cell(3) }));
		EXPECT_EQ(key_texts(answer), std::vector<std::string>({ "status" })) << String(bad).utf8().get_data();
		EXPECT_EQ(status_of(answer), String("unusable")) << String(bad).utf8().get_data();
	}

	// The rows before a bad one are taken, but the search still stops on the bad one.
	provider.answers[cell(0)] = array_of({ edge_row(cell(1), 1), edge_row(cell(2), 0) });
	EXPECT_EQ(status_of(line_search(goal_set({ cell(1) }))), String("unusable"));
	// The goal's own rows are never read.
	provider.answers[cell(0)] = array_of({ edge_row(cell(1), 1) });
	provider.answers[cell(1)] = Variant();
	EXPECT_EQ(status_of(line_search(goal_set({ cell(1) }))), String("usable"));
}

// A provider that changes the shared cell list in the middle of a search (the path service
// rebuilding its graph from a callback): moving or removing cells the search numbered makes
// its lists describe other cells; cells appended after them are no nodes of this search.
TEST_F(SearchEntryTest, CellsMovedOrRemovedByTheProviderMidSearchMakeItUnusable) {
	struct Change {
		const char *name;
		std::function<void(Array &)> apply;
		const char *status;
	};
	const std::vector<Change> changes = {
		{ "shrunk", [](Array &r_cells) { r_cells.resize(2); }, "unusable" },
		{ "reordered", [](Array &r_cells) { r_cells.reverse(); }, "unusable" },
		{ "a cell appended", [](Array &r_cells) { r_cells.append(cell(9)); }, "usable" },
	};
	for (const Change &change : changes) {
		Array cells = line.cells.duplicate();
		const Dictionary table = provider.answers;
		const std::function<void(Array &)> apply = change.apply;
		const Callable changing = engine_double::make_lambda_callable([cells, table, apply](const Variant **p_arguments, int p_count) mutable -> Variant {
			if (p_count == 1 && *p_arguments[0] == Variant(cell(1))) {
				apply(cells);
			}
			return p_count == 1 ? table.get(*p_arguments[0], Array()) : Variant();
		},
		        1);
		const Dictionary answer = search(cells, line.indices, 0, goal_set({ cell(3) }), changing);
		EXPECT_EQ(status_of(answer), String(change.status)) << change.name;
	}
}

TEST_F(SearchEntryTest, ACellUnequalToItselfHasNotMoved) {
	// A NaN is unequal to itself in the engine's comparison of two lists.
	Array cells = line.cells.duplicate();
	cells.append(std::numeric_limits<double>::quiet_NaN());
	EXPECT_EQ(status_of(search(cells, line.indices, 0, goal_set({ cell(3) }), provider.callable)), String("usable"));
}

TEST_F(SearchEntryTest, ACostSumBeyondTheIntegerRangeIsWrapped) {
	provider.answers[cell(0)] = array_of({ edge_row(cell(1), UNREACHED - 5) });
	provider.answers[cell(1)] = array_of({ edge_row(cell(2), 10) });
	const Dictionary answer = line_search(goal_set({ cell(2) }));
	EXPECT_EQ(key_texts(answer), std::vector<std::string>({ "status" }));
	EXPECT_EQ(status_of(answer), String("wrapped"));
}

TEST_F(SearchEntryTest, TheCacheAnswersForExpandedNodesUntilCleared) {
	const Dictionary goals = goal_set({ cell(4) });
	// search neither reads nor fills the cache.
	const Dictionary plain = line_search(goals);
	EXPECT_EQ(*provider.calls, 4);
	const Dictionary first = search_cached(line.cells, line.indices, 0, goals, provider.callable);
	EXPECT_EQ(*provider.calls, 8);
	const Dictionary second = search_cached(line.cells, line.indices, 0, goals, provider.callable);
	EXPECT_EQ(*provider.calls, 8);
	EXPECT_EQ(first, plain);
	EXPECT_EQ(second, first);
	EXPECT_EQ(key_texts(second), key_texts(first));

	// The graph changes: the cache keeps the old edges, search sees the new ones.
	provider.answers[cell(0)] = array_of({ edge_row(cell(2), 1) });
	EXPECT_EQ(search_cached(line.cells, line.indices, 0, goals, provider.callable), first);
	EXPECT_EQ(*provider.calls, 8);
	const Dictionary changed = line_search(goals);
	EXPECT_NE(changed, first);
	EXPECT_EQ(*provider.calls, 11);

	// A second instance has its own, empty cache.
	const Variant other = host->instantiate("VeltrinNumericCore");
	EXPECT_EQ(Dictionary(host->call(other, "search_cached", { line.cells, line.indices, 0, goals, provider.callable })), changed);
	EXPECT_EQ(*provider.calls, 14);

	call("clear_edge_cache");
	EXPECT_EQ(search_cached(line.cells, line.indices, 0, goals, provider.callable), changed);
	EXPECT_EQ(*provider.calls, 17);
}

TEST_F(SearchEntryTest, BadRowsStayCachedUntilCleared) {
	provider.answers[cell(1)] = array_of({ edge_row(cell(2), 0) });
	const Dictionary goals = goal_set({ cell(3) });
	EXPECT_EQ(status_of(search_cached(line.cells, line.indices, 0, goals, provider.callable)), String("unusable"));
	provider.answers[cell(1)] = array_of({ edge_row(cell(2), 1) });
	EXPECT_EQ(status_of(search_cached(line.cells, line.indices, 0, goals, provider.callable)), String("unusable"));
	EXPECT_EQ(status_of(line_search(goals)), String("usable"));
	call("clear_edge_cache");
	EXPECT_EQ(status_of(search_cached(line.cells, line.indices, 0, goals, provider.callable)), String("usable"));
}

#ifdef VELTRIN_DIAGNOSTICS
TEST_F(SearchEntryTest, EverySearchCountsOneNumericSearchPhase) {
	call("diagnostic_reset");
	line_search(goal_set({ cell(3) }), 99);
	search_cached(line.cells, line.indices, 0, goal_set({ cell(3) }), provider.callable);
	const Dictionary snapshot = call("diagnostic_snapshot");
	const Dictionary phase = snapshot.get("numeric_search_total", Variant());
	EXPECT_EQ(int64_t(phase.get("calls", Variant())), 2);
	EXPECT_GT(int64_t(phase.get("nanoseconds", Variant())), 0);
	EXPECT_EQ(int64_t(Dictionary(snapshot.get("nearest_total", Variant())).get("calls", Variant())), 0);
}
#endif

class WalkingProviderTest : public RouteTest {
protected:
	PathServiceFixture path;
	CellGraph grid;
	const Dictionary nowhere = goal_set({ Vector3i(-1, -1, -1) });

	void SetUp() override {
		RouteTest::SetUp();
		grid = add_walking_grid(path, 6, 5, 7);
		path.begin_query(grid);
	}

	Dictionary walk(const Array &p_layers, const Array &p_access) {
		path.begin_query(grid);
		engine_double::call_log_clear();
		return search(grid.cells, grid.indices, 0, nowhere, path.shared_edges_provider(p_layers, p_access));
	}
};

TEST_F(WalkingProviderTest, NativeRowsReplaceTheScriptForPlainWalking) {
	const Dictionary scripted = walk(path.walk_layers(), array_of({ StringName("staff") }));
	EXPECT_EQ(status_of(scripted), String("usable"));
	EXPECT_EQ(path.provider_call_count(), grid.cells.size());

	const Dictionary native = walk(path.walk_layers(), Array());
	EXPECT_EQ(path.provider_call_count(), 0);
	EXPECT_EQ(native, scripted);
	EXPECT_EQ(Dictionary(native.get("settled", Variant())).keys(), Dictionary(scripted.get("settled", Variant())).keys());
	const Dictionary memo = path.workspace_edges();
	ASSERT_EQ(memo.size(), grid.cells.size());
	for (int64_t i = 0; i < grid.cells.size(); i++) {
		EXPECT_EQ(Array(memo.get(grid.cells[i], Variant())), path.script_rows(grid.cells[i], path.walk_layers(), Array()));
	}

	const Array swapped = array_of({ path.constants().back, path.constants().front });
	EXPECT_EQ(walk(swapped, Array()), scripted);
	EXPECT_EQ(path.provider_call_count(), grid.cells.size());
}

TEST_F(WalkingProviderTest, TheCachedSearchAsksTheScriptOncePerNode) {
	const Callable scripted = path.shared_edges_provider(path.walk_layers(), array_of({ StringName("staff") }));
	engine_double::call_log_clear();
	const Dictionary first = search_cached(grid.cells, grid.indices, 0, nowhere, scripted);
	EXPECT_EQ(path.provider_call_count(), grid.cells.size());
	EXPECT_EQ(search_cached(grid.cells, grid.indices, 0, nowhere, scripted), first);
	EXPECT_EQ(search(grid.cells, grid.indices, 0, nowhere, scripted), first);
	EXPECT_EQ(path.provider_call_count(), 2 * grid.cells.size());
}

TEST_F(WalkingProviderTest, CellsTheNativeRowsCannotAnswerGoToTheScript) {
	path.add_entry(grid.cells[3], connector_entry(grid.cells[40], "stairs_1", 3));
	const Dictionary native = walk(path.walk_layers(), Array());
	EXPECT_EQ(path.provider_call_count(), 1);
	EXPECT_EQ(native, walk(path.walk_layers(), array_of({ StringName("staff") })));
}

TEST_F(WalkingProviderTest, ANativeRowTheSearchCannotUseMakesItUnusable) {
	path.add_entry(grid.cells[0], walk_entry(Vector3i(50, 0, 0), 1));
	const Dictionary answer = walk(path.walk_layers(), Array());
	EXPECT_EQ(key_texts(answer), std::vector<std::string>({ "status" }));
	EXPECT_EQ(status_of(answer), String("unusable"));
	EXPECT_EQ(path.provider_call_count(), 0);
	// The memo keeps the rows up to the one that ended the cell.
	EXPECT_EQ(Array(path.workspace_edges().get(grid.cells[0], Variant())).back(), Variant(edge_row(Vector3i(50, 0, 0), 1)));
}

} // namespace
} // namespace veltrin_test
