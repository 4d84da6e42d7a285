// guest_tree_edge_rows cases found by fuzzing.

#include "path_service_fixture.hpp"
#include "route_test_base.hpp"

#include <godot_cpp/variant/utility_functions.hpp>

using namespace godot;

namespace veltrin_test {
namespace {

const Vector3i HOME(1, 1, 0);
const Vector3i EAST(2, 1, 0);

class GuestTreeEdgeRowsRegressionTest : public RouteTest {
protected:
	PathServiceFixture path;

	void SetUp() override {
		RouteTest::SetUp();
		CellGraph graph;
		for (const Vector3i &cell : { HOME, EAST }) {
			graph.indices[cell] = graph.cells.size();
			graph.cells.append(cell);
		}
		path.begin_query(graph);
		path.add_entry(HOME, walk_entry(EAST, 4));
	}

	// Installs a memo typed key_type → value_type and asks for HOME's rows.
	Dictionary rows_with_memo_typed(Variant::Type p_key_type, Variant::Type p_value_type) {
		Dictionary memo;
		memo.set_typed(uint32_t(p_key_type), StringName(), Variant(), uint32_t(p_value_type), StringName(), Variant());
		path.workspace["edges"] = memo;
		return edge_rows(path.object(), HOME, path.walk_layers(), Array());
	}
};

// A memo typed so that it cannot hold cell → rows entries used to answer rows it had not
// stored (the typed dictionary refused the write): now the cell is declined, untouched.
TEST_F(GuestTreeEdgeRowsRegressionTest, AMemoThatCannotHoldTheRowsDeclines) {
	const struct {
		Variant::Type key;
		Variant::Type value;
	} refusing[] = { { Variant::ARRAY, Variant::ARRAY }, { Variant::VECTOR3I, Variant::INT }, { Variant::STRING_NAME, Variant::NIL } };
	for (const auto &typing : refusing) {
		SCOPED_TRACE(testing::Message() << "memo typed " << int(typing.key) << " -> " << int(typing.value));
		const Dictionary answer = rows_with_memo_typed(typing.key, typing.value);
		EXPECT_FALSE(bool(answer.get("supported", true)));
		EXPECT_EQ(answer.size(), 1);
		EXPECT_TRUE(path.workspace_edges().is_empty());
	}
}

TEST_F(GuestTreeEdgeRowsRegressionTest, AMemoTypedCellToArrayStillMemoisesTheRows) {
	for (const Variant::Type value_type : { Variant::ARRAY, Variant::NIL }) {
		const Dictionary answer = rows_with_memo_typed(Variant::VECTOR3I, value_type);
		ASSERT_TRUE(bool(answer.get("supported", false)));
		const Variant rows = answer.get("rows", Variant());
		EXPECT_EQ(rows, Variant(Array::make(edge_row(EAST, 4))));
		EXPECT_TRUE(UtilityFunctions::is_same(path.workspace_edges().get(HOME, Variant()), rows));
	}
}

} // namespace
} // namespace veltrin_test
