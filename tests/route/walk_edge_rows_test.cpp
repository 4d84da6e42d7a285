// guest_tree_edge_rows: the native walking rows of one cell, their declines and their memo.

#include "path_service_fixture.hpp"
#include "route_test_base.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/script_double.hpp>

#include <godot_cpp/core/memory.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include <limits>

using namespace godot;

namespace veltrin_test {
namespace {

const Vector3i HOME(1, 1, 0);
const Vector3i EAST(2, 1, 0);
const Vector3i WEST(0, 1, 0);
const Vector3i BEHIND(1, 1, 1);
const Vector3i UP(1, 2, 0);

class WalkEdgeRowsTest : public RouteTest {
protected:
	PathServiceFixture path;

	void SetUp() override {
		RouteTest::SetUp();
		CellGraph graph;
		for (const Vector3i &cell : { HOME, EAST, WEST, BEHIND, UP }) {
			graph.indices[cell] = graph.cells.size();
			graph.cells.append(cell);
		}
		path.begin_query(graph);
	}

	Dictionary rows_of(const Vector3i &p_cell) const {
		return edge_rows(path.object(), p_cell, path.walk_layers(), Array());
	}

	// A decline answers only "supported" = false and writes nothing into the memo.
	void expect_declined(const Dictionary &p_answer, const Vector3i &p_cell) const {
		EXPECT_EQ(key_texts(p_answer), std::vector<std::string>({ "supported" }));
		EXPECT_FALSE(bool(p_answer.get("supported", true)));
		EXPECT_FALSE(path.workspace_edges().has(p_cell));
	}
};

TEST_F(WalkEdgeRowsTest, AnswersRowsInAdjacencyOrderAndMemoisesThem) {
	path.add_entry(HOME, walk_entry(EAST, 4));
	path.add_entry(HOME, walk_entry(BEHIND));
	Dictionary cost_only = walk_entry(WEST);
	cost_only["cost"] = 7;
	path.add_entry(HOME, cost_only);

	const Dictionary answer = rows_of(HOME);
	EXPECT_EQ(key_texts(answer), std::vector<std::string>({ "supported", "rows" }));
	EXPECT_TRUE(bool(answer.get("supported", false)));
	const Array rows = answer.get("rows", Variant());
	// base_cost, then ORTHOGONAL_MOVE_COST when neither cost key is there, then "cost".
	EXPECT_EQ(rows, array_of({ edge_row(EAST, 4), edge_row(BEHIND, 10), edge_row(WEST, 7) }));
	EXPECT_EQ(rows, path.script_rows(HOME, path.walk_layers(), Array()));
	EXPECT_TRUE(UtilityFunctions::is_same(path.workspace_edges().get(HOME, Variant()), rows));
	// Only reads reach the service; the memo entry goes straight into its workspace.
	for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries_for(path.object())) {
		EXPECT_EQ(entry.kind, engine_double::CallLogKind::GET) << entry.to_string();
	}
}

TEST_F(WalkEdgeRowsTest, DeclinesForeignLayersAccessAndScripts) {
	path.add_entry(HOME, walk_entry(EAST, 4));
	const Array front_only = array_of({ path.constants().front });
	const Array swapped = array_of({ path.constants().back, path.constants().front });
	const Array float_layers = array_of({ double(path.constants().front), double(path.constants().back) });
	expect_declined(edge_rows(path.object(), HOME, path.walk_layers(), array_of({ StringName("staff") })), HOME);
	expect_declined(edge_rows(path.object(), HOME, front_only, Array()), HOME);
	expect_declined(edge_rows(path.object(), HOME, swapped, Array()), HOME);
	expect_declined(edge_rows(path.object(), HOME, float_layers, Array()), HOME);
	expect_declined(edge_rows(nullptr, HOME, path.walk_layers(), Array()), HOME);

	// A script extending the path service may compute other rows.
	PathServiceFixture elsewhere(PathServiceConstants(), "res://scripts/world/path_service_custom.gd");
	elsewhere.add_entry(HOME, walk_entry(EAST, 4));
	expect_declined(edge_rows(elsewhere.object(), HOME, elsewhere.walk_layers(), Array()), HOME);
	EXPECT_FALSE(elsewhere.workspace_edges().has(HOME));
	Ref<engine_double::ScriptDouble> derived = engine_double::ScriptDouble::create("res://scripts/world/busy_path_service.gd");
	derived->extends(path.script());
	Ref<RefCounted> derived_service = derived->instantiate();
	expect_declined(edge_rows(derived_service.ptr(), HOME, path.walk_layers(), Array()), HOME);
}

TEST_F(WalkEdgeRowsTest, DeclinesConstantsOfTheWrongType) {
	PathServiceFixture string_walk;
	string_walk.script()->constant("MOVEMENT_WALK", String("walk"));
	string_walk.add_entry(HOME, walk_entry(EAST, 4));
	expect_declined(edge_rows(string_walk.object(), HOME, string_walk.walk_layers(), Array()), HOME);
	EXPECT_FALSE(string_walk.workspace_edges().has(HOME));

	PathServiceFixture float_cost;
	float_cost.script()->constant("ORTHOGONAL_MOVE_COST", 10.0);
	float_cost.add_entry(HOME, walk_entry(EAST, 4));
	expect_declined(edge_rows(float_cost.object(), HOME, float_cost.walk_layers(), Array()), HOME);
	EXPECT_FALSE(float_cost.workspace_edges().has(HOME));
}

TEST_F(WalkEdgeRowsTest, UnsupportedEntriesDeclineTheWholeCellAndWriteNothing) {
	path.add_entry(HOME, walk_entry(EAST, 4));
	path.add_entry(HOME, connector_entry(UP, "stairs_1", 6));
	const Dictionary before = engine_double::script_state_snapshot(path.object());
	expect_declined(rows_of(HOME), HOME);
	EXPECT_EQ(engine_double::script_state_snapshot(path.object()), before);

	Dictionary guarded = walk_entry(WEST, 3);
	guarded["access_id"] = StringName("staff_door");
	path.add_entry(WEST, guarded);
	expect_declined(rows_of(WEST), WEST);

	Dictionary untyped = walk_entry(BEHIND, 3);
	untyped["movement_type"] = String("walk");
	path.add_entry(BEHIND, untyped);
	expect_declined(rows_of(BEHIND), BEHIND);

	path.add_entry(EAST, walk_entry(HOME, 2.5));
	expect_declined(rows_of(EAST), EAST);
}

TEST_F(WalkEdgeRowsTest, SkipsOtherLayersBlockedCellsAndVerticalWalksThatNeedConnectors) {
	path.add_entry(HOME, walk_entry(Vector3i(1, 1, 7), 1));
	path.add_entry(HOME, walk_entry(UP, 2));
	path.add_entry(HOME, walk_entry(WEST, 3));
	path.add_entry(HOME, walk_entry(EAST, 4));
	path.cell_traffic[WEST] = traffic_entry(true, 0, 0, 0);
	// A blocked cell is skipped before its edge kind is looked at.
	path.add_entry(HOME, connector_entry(WEST, "lift", 5));

	path.set_vertical_walk_requires_connector(true);
	EXPECT_EQ(Array(rows_of(HOME).get("rows", Variant())), array_of({ edge_row(EAST, 4) }));

	path.begin_query(CellGraph { Array(), path.workspace_indices() });
	path.set_vertical_walk_requires_connector(false);
	EXPECT_EQ(Array(rows_of(HOME).get("rows", Variant())), array_of({ edge_row(UP, 2), edge_row(EAST, 4) }));
}

TEST_F(WalkEdgeRowsTest, CongestionAddsItsCostPerExcessOccupant) {
	path.add_entry(HOME, walk_entry(EAST, 10));
	path.add_entry(HOME, walk_entry(WEST, 10));
	path.add_entry(HOME, walk_entry(BEHIND, 10));
	path.cell_traffic[EAST] = traffic_entry(false, 3, 12, 10);
	path.cell_traffic[WEST] = traffic_entry(false, 3, 8, 10);
	path.cell_traffic[BEHIND] = Dictionary();
	EXPECT_EQ(Array(rows_of(HOME).get("rows", Variant())), array_of({ edge_row(EAST, 23), edge_row(WEST, 13), edge_row(BEHIND, 10) }));

	Dictionary unknown_block = traffic_entry(false, 3, 12, 10);
	unknown_block.erase("temporary_block");
	path.cell_traffic[HOME] = unknown_block;
	path.add_entry(EAST, walk_entry(HOME, 1));
	expect_declined(rows_of(EAST), EAST);
}

TEST_F(WalkEdgeRowsTest, CostArithmeticWrapsLikeScriptIntegers) {
	const int64_t max = std::numeric_limits<int64_t>::max();
	const int64_t min = std::numeric_limits<int64_t>::min();
	PathServiceConstants constants;
	constants.congestion_cost_per_excess = max;
	PathServiceFixture crowded(constants);
	crowded.begin_query(CellGraph { Array(), path.workspace_indices() });
	crowded.add_entry(HOME, walk_entry(EAST, 10));
	crowded.add_entry(HOME, walk_entry(WEST, max));
	crowded.add_entry(HOME, walk_entry(BEHIND, 5));
	// Excess 2: max * 2 wraps to -2, so the row costs 10 + 0 - 2.
	crowded.cell_traffic[EAST] = traffic_entry(false, 0, 2, 0);
	// max + 1 wraps to the smallest integer, which ends the walk.
	crowded.cell_traffic[WEST] = traffic_entry(false, 1, 0, 0);
	EXPECT_EQ(Array(edge_rows(crowded.object(), HOME, crowded.walk_layers(), Array()).get("rows", Variant())),
	        array_of({ edge_row(EAST, 8), edge_row(WEST, min) }));

	// min - 1 wraps to max, and max * max wraps to 1.
	crowded.add_entry(EAST, walk_entry(BEHIND, 5));
	crowded.cell_traffic[BEHIND] = traffic_entry(false, 0, min, 1);
	EXPECT_EQ(Array(edge_rows(crowded.object(), EAST, crowded.walk_layers(), Array()).get("rows", Variant())),
	        array_of({ edge_row(BEHIND, 6) }));
}

TEST_F(WalkEdgeRowsTest, ARowTheSearchCannotUseEndsTheCell) {
	const Vector3i outside(9, 9, 0);
	path.add_entry(HOME, walk_entry(EAST, 4));
	path.add_entry(HOME, walk_entry(outside, 2));
	// Never looked at: the walk ended on the row before.
	path.add_entry(HOME, connector_entry(UP, "stairs_1", 6));
	const Array expected = array_of({ edge_row(EAST, 4), edge_row(outside, 2) });
	EXPECT_EQ(Array(rows_of(HOME).get("rows", Variant())), expected);
	EXPECT_EQ(Array(path.workspace_edges().get(HOME, Variant())), expected);

	path.add_entry(EAST, walk_entry(WEST, 0));
	path.add_entry(EAST, walk_entry(BEHIND, 3));
	EXPECT_EQ(Array(rows_of(EAST).get("rows", Variant())), array_of({ edge_row(WEST, 0) }));
}

TEST_F(WalkEdgeRowsTest, TheMemoAnswersUntilTheScriptClearsIt) {
	path.add_entry(HOME, walk_entry(EAST, 4));
	const Array first = rows_of(HOME).get("rows", Variant());
	Array(path.adjacency.get(HOME, Variant())).clear();
	path.add_entry(HOME, walk_entry(WEST, 9));
	const Array again = rows_of(HOME).get("rows", Variant());
	EXPECT_TRUE(UtilityFunctions::is_same(first, again));
	EXPECT_EQ(again, array_of({ edge_row(EAST, 4) }));

	path.begin_query(CellGraph { Array(), path.workspace_indices() });
	EXPECT_EQ(Array(rows_of(HOME).get("rows", Variant())), array_of({ edge_row(WEST, 9) }));

	// A cell without adjacency walks nowhere, and that is memoised too.
	const Dictionary lonely = rows_of(UP);
	EXPECT_TRUE(bool(lonely.get("supported", false)));
	EXPECT_EQ(Array(lonely.get("rows", Variant())), Array());
	EXPECT_TRUE(path.workspace_edges().has(UP));
}

TEST_F(WalkEdgeRowsTest, DeclinesAMemoItCannotUseOrWriteTo) {
	path.add_entry(HOME, walk_entry(EAST, 4));
	path.add_entry(EAST, walk_entry(HOME, 4));
	Dictionary edges = path.workspace_edges();
	edges[HOME] = Variant();
	const Dictionary answer = rows_of(HOME);
	EXPECT_EQ(key_texts(answer), std::vector<std::string>({ "supported" }));
	EXPECT_EQ(edges.get(HOME, 1), Variant());

	edges.make_read_only();
	expect_declined(rows_of(EAST), EAST);

	path.workspace["edges"] = Array();
	EXPECT_EQ(key_texts(rows_of(EAST)), std::vector<std::string>({ "supported" }));
	path.workspace.erase("indices");
	path.workspace["edges"] = Dictionary();
	expect_declined(rows_of(EAST), EAST);
}

// A path service that is a plain object (a node, say) freed by its own workspace getter:
// the rows read nothing more of it and decline, the memo untouched.
TEST_F(WalkEdgeRowsTest, AServiceItsWorkspaceGetterFreesDeclines) {
	path.add_entry(HOME, walk_entry(EAST));
	Object *plain = path.script()->instantiate_object();
	const uint64_t id = plain->get_instance_id();
	{
		engine_double::CallLogPause pause;
		plain->set("_adjacency", path.adjacency);
		plain->set("_cell_traffic", path.cell_traffic);
		plain->set("_guest_tree_workspace", path.workspace);
	}
	path.script()->accessors("_guest_tree_workspace", "_get_workspace");
	path.script()->method("_get_workspace", 0, [id](const engine_double::ScriptCall &p_call) {
		const Variant workspace = p_call.member("_guest_tree_workspace");
		memdelete(ObjectDB::get_instance(id));
		return workspace;
	});
	expect_declined(edge_rows(plain, HOME, path.walk_layers(), Array()), HOME);
	EXPECT_EQ(ObjectDB::get_instance(id), nullptr);
}

} // namespace
} // namespace veltrin_test
