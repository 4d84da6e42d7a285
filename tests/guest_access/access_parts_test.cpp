// The pieces of the projection, called directly: access cells, input order, tag tables,
// travel minutes, the path-cache key and the guarded arithmetic.

#include "common/saturating_math.hpp"
#include "guest_access/facility_access_cells.hpp"
#include "guest_access/input_names.hpp"
#include "guest_access/path_cache_key.hpp"
#include "guest_access/path_minutes.hpp"
#include "guest_access/projection_names.hpp"
#include "guest_access/query_tree_cost.hpp"
#include "guest_access/tag_relief.hpp"
#include "resort_fixture.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/error_log.hpp>
#include <engine_double/script_double.hpp>

#include <gtest/gtest.h>

#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/vector3.hpp>

#include <limits>

using namespace godot;

namespace veltrin_test {
namespace {

constexpr int64_t MAX64 = std::numeric_limits<int64_t>::max();
constexpr int64_t MIN64 = std::numeric_limits<int64_t>::min();
constexpr int32_t MAX32 = std::numeric_limits<int32_t>::max();
constexpr int32_t MIN32 = std::numeric_limits<int32_t>::min();

Array cell_list(std::initializer_list<Vector3i> p_cells) {
	Array array;
	for (const Vector3i &cell : p_cells) {
		array.append(cell);
	}
	return array;
}

std::string text_of(const Variant &p_value) {
	return p_value.stringify().utf8().get_data();
}

class PartsTest : public ::testing::Test {
protected:
	veltrin::ProjectionNames names;
	ResortFixture resort;

	void SetUp() override {
		engine_double::call_log_set_enabled(true);
		engine_double::call_log_clear();
	}

	// A script object at another path, with the given one-argument method.
	static Ref<RefCounted> foreign_object(const char *p_method, engine_double::ScriptFunction p_function) {
		Ref<engine_double::ScriptDouble> script = engine_double::ScriptDouble::create("res://mods/impostor.gd");
		script->method(p_method, 1, p_function);
		return script->instantiate();
	}
};

// Access cells.

class AccessCellsTest : public PartsTest {
protected:
	Array access_of(const Variant &p_occupied, const Variant &p_origin, std::initializer_list<Vector3i> p_passable) {
		FacilityValues values = facility_values("f", "k", Vector3i());
		values.occupied_cells = p_occupied;
		values.origin = p_origin;
		Object *facility = resort.add_facility(values);
		resort.passable.clear();
		for (const Vector3i &cell : p_passable) {
			resort.passable[cell] = true;
		}
		return veltrin::facility_access_cells(names, veltrin::LiveObject(Variant(resort.path())), veltrin::LiveObject(Variant(facility)));
	}
};

TEST_F(AccessCellsTest, UsesTheOriginWhenTheFacilityOccupiesNothing) {
	EXPECT_EQ(access_of(Array(), Vector3i(3, 0, 0), { Vector3i(2, 0, 0), Vector3i(3, 0, 0), Vector3i(4, 0, 0) }),
	        cell_list({ Vector3i(2, 0, 0), Vector3i(3, 0, 0), Vector3i(4, 0, 0) }));
	// A missing member reads as nothing occupied.
	EXPECT_EQ(access_of(Variant(), Vector3i(3, 0, 0), { Vector3i(4, 0, 0) }), cell_list({ Vector3i(4, 0, 0) }));
}

// A facility (a plain object) its own cells getter frees: its origin is not read from it.
TEST_F(AccessCellsTest, AFacilityItsCellsGetterFreesEndsTheCall) {
	resort.use_plain_facilities(true);
	Object *facility = resort.add_facility(facility_values("f", "k", Vector3i(3, 0, 0)));
	const veltrin::LiveObject held { Variant(facility) };
	free_in_getter(resort.facility_script(), "occupied_cells", facility->get_instance_id());
	EXPECT_THROW(veltrin::facility_access_cells(names, veltrin::LiveObject(Variant(resort.path())), held), veltrin::ObjectGone);
	EXPECT_TRUE(held.alive() == nullptr);
}

TEST_F(AccessCellsTest, TakesPassableXNeighboursOnceInZYXOrder) {
	EXPECT_EQ(access_of(cell_list({ Vector3i(5, 2, 0), Vector3i(6, 2, 0) }), Vector3i(5, 2, 0), { Vector3i(4, 2, 0), Vector3i(7, 2, 0) }),
	        cell_list({ Vector3i(4, 2, 0), Vector3i(7, 2, 0) }));
	EXPECT_EQ(access_of(cell_list({ Vector3i(4, 1, 1), Vector3i(10, 0, 1), Vector3i(1, 5, 0) }), Vector3i(4, 1, 1),
	                  { Vector3i(3, 1, 1), Vector3i(9, 0, 1), Vector3i(2, 5, 0) }),
	        cell_list({ Vector3i(2, 5, 0), Vector3i(9, 0, 1), Vector3i(3, 1, 1) }));
	EXPECT_EQ(access_of(cell_list({ Vector3i(4, 0, 0), Vector3i(6, 0, 0) }), Vector3i(4, 0, 0), { Vector3i(5, 0, 0) }),
	        cell_list({ Vector3i(5, 0, 0) }));
	// A passable origin takes its place in the order, once, also when it is a neighbour.
	EXPECT_EQ(access_of(cell_list({ Vector3i(5, 0, 0) }), Vector3i(4, 0, 0), { Vector3i(4, 0, 0), Vector3i(6, 0, 0) }),
	        cell_list({ Vector3i(4, 0, 0), Vector3i(6, 0, 0) }));
	EXPECT_EQ(access_of(cell_list({ Vector3i(1, 0, 0) }), Vector3i(9, 0, 0), { Vector3i(0, 0, 0), Vector3i(2, 0, 0), Vector3i(9, 0, 0) }),
	        cell_list({ Vector3i(0, 0, 0), Vector3i(2, 0, 0), Vector3i(9, 0, 0) }));
	// Signed order: negative coordinates first.
	EXPECT_EQ(access_of(cell_list({ Vector3i(0, -1, 0), Vector3i(0, 1, 0) }), Vector3i(0, 1, 0),
	                  { Vector3i(1, 1, 0), Vector3i(-1, -1, 0), Vector3i(1, -1, 0) }),
	        cell_list({ Vector3i(-1, -1, 0), Vector3i(1, -1, 0), Vector3i(1, 1, 0) }));
}

TEST_F(AccessCellsTest, IgnoresNeighboursAlongYAndZ) {
	EXPECT_TRUE(access_of(cell_list({ Vector3i(4, 1, 0) }), Vector3i(4, 1, 0), { Vector3i(4, 0, 0), Vector3i(4, 2, 0), Vector3i(4, 1, 1) }).is_empty());
}

TEST_F(AccessCellsTest, StopsAtTheEdgesOfTheGrid) {
	EXPECT_EQ(access_of(cell_list({ Vector3i(MIN32, 0, 0), Vector3i(MAX32, 0, 0) }), Vector3i(MAX32, 0, 0),
	                  { Vector3i(MIN32 + 1, 0, 0), Vector3i(MAX32 - 1, 0, 0), Vector3i(MAX32, 0, 0) }),
	        cell_list({ Vector3i(MIN32 + 1, 0, 0), Vector3i(MAX32 - 1, 0, 0), Vector3i(MAX32, 0, 0) }));
}

// Input order.

#ifdef VELTRIN_NATIVE_INPUT_ORDER
TEST_F(PartsTest, OrdersStringNameInputsByCodePoint) {
	Dictionary inputs;
	inputs[StringName("wood")] = 1;
	inputs[StringName("ale")] = 1;
	inputs[StringName("Water")] = 1;
	const Array sorted = veltrin::sorted_builtin_input_names(names, resort.runtime(), inputs);
	EXPECT_EQ(sorted.get_typed_builtin(), Variant::STRING_NAME);
	EXPECT_EQ(text_of(sorted), "[&\"Water\", &\"ale\", &\"wood\"]");
	EXPECT_EQ(ResortFixture::call_count(resort.runtime(), "_sorted_name_keys"), 0);

	const Array empty = veltrin::sorted_builtin_input_names(names, resort.runtime(), Dictionary());
	EXPECT_TRUE(empty.is_empty());
	EXPECT_EQ(empty.get_typed_builtin(), Variant::STRING_NAME);
}

TEST_F(PartsTest, LeavesOtherInputsToTheRuntime) {
	Dictionary inputs;
	inputs[StringName("b")] = 1;
	inputs[String("a")] = 1;
	const Array sorted = veltrin::sorted_builtin_input_names(names, resort.runtime(), inputs);
	EXPECT_EQ(text_of(sorted), "[\"a\", &\"b\"]");
	EXPECT_EQ(ResortFixture::call_count(resort.runtime(), "_sorted_name_keys"), 1);

	Ref<RefCounted> foreign = foreign_object("_sorted_name_keys", [](const engine_double::ScriptCall &) -> Variant {
		return Array::make(StringName("from_script"));
	});
	Dictionary named;
	named[StringName("x")] = 1;
	EXPECT_EQ(text_of(veltrin::sorted_builtin_input_names(names, foreign.ptr(), named)), "[&\"from_script\"]");
}
#endif

// Tag tables.

TEST_F(PartsTest, MapsTagsToNeedReliefAndCategory) {
	struct Case {
		std::initializer_list<const char *> tags;
		const char *relief;
		const char *category;
	};
	const Case cases[] = {
		{ { "dining", "social" }, "{ &\"hunger\": 80, &\"sleep\": 0, &\"hygiene\": 0, &\"medical\": 0, &\"leisure\": 40, &\"intimacy\": 0 }", "food" },
		{ { "lodging", "bath" }, "{ &\"hunger\": 0, &\"sleep\": 90, &\"hygiene\": 80, &\"medical\": 0, &\"leisure\": 0, &\"intimacy\": 0 }", "lodging" },
		{ { "lodging" }, "{ &\"hunger\": 0, &\"sleep\": 90, &\"hygiene\": 10, &\"medical\": 0, &\"leisure\": 0, &\"intimacy\": 0 }", "lodging" },
		{ { "medical", "wellness" }, "{ &\"hunger\": 0, &\"sleep\": 0, &\"hygiene\": 0, &\"medical\": 90, &\"leisure\": 0, &\"intimacy\": 0 }", "service" },
		{ { "wellness" }, "{ &\"hunger\": 0, &\"sleep\": 0, &\"hygiene\": 0, &\"medical\": 20, &\"leisure\": 0, &\"intimacy\": 0 }", "service" },
		{ { "restricted_service" }, "{ &\"hunger\": 0, &\"sleep\": 0, &\"hygiene\": 0, &\"medical\": 0, &\"leisure\": 0, &\"intimacy\": 80 }", "service" },
		{ {}, "{ &\"hunger\": 0, &\"sleep\": 0, &\"hygiene\": 0, &\"medical\": 0, &\"leisure\": 0, &\"intimacy\": 0 }", "service" },
		// A leisure tag raises the dining leisure; social decides the category only after dining and lodging.
		{ { "leisure", "dining", "hygiene" }, "{ &\"hunger\": 80, &\"sleep\": 0, &\"hygiene\": 80, &\"medical\": 0, &\"leisure\": 40, &\"intimacy\": 0 }", "food" },
		{ { "social", "adult_only" }, "{ &\"hunger\": 0, &\"sleep\": 0, &\"hygiene\": 0, &\"medical\": 0, &\"leisure\": 40, &\"intimacy\": 80 }", "leisure" },
	};
	for (const Case &test_case : cases) {
		const Array tags = tag_array(test_case.tags);
		EXPECT_EQ(text_of(veltrin::builtin_tag_relief(names, tags)), test_case.relief) << text_of(tags);
		EXPECT_EQ(text_of(veltrin::builtin_tag_category(names, tags)), test_case.category) << text_of(tags);
	}
}

// Travel minutes.

class PathMinutesTest : public PartsTest {
protected:
	int64_t minutes(const Array &p_route, int64_t p_movement_scale = 10, int64_t p_stair_credit = 20, int64_t p_orthogonal_cost = 100, Object *p_elevators = nullptr) {
		const veltrin::LiveObject path { Variant(resort.path()) };
		const veltrin::LiveObject elevators { Variant(p_elevators ? p_elevators : resort.elevators()) };
		return veltrin::guest_path_minutes(names, path, elevators, p_route, p_movement_scale, p_stair_credit, p_orthogonal_cost);
	}
	int64_t elevator_questions(Object *p_elevators = nullptr) const {
		return ResortFixture::call_count(p_elevators ? p_elevators : resort.elevators(), "owns_connector");
	}
	int64_t cost_questions() const { return ResortFixture::call_count(resort.path(), "calculate_guest_batch_path_cost"); }

	// A climb through the east stair of floors 0 and 1.
	static Array stair_route() { return cell_list({ Vector3i(10, 0, 0), Vector3i(11, 0, 0), Vector3i(11, 1, 0), Vector3i(10, 1, 0) }); }
	void set_stair_cost(int64_t p_cost) {
		Dictionary record = resort.connectors.get(StringName("infra.connector:stair_0"), Variant());
		record["cost"] = p_cost;
	}
};

TEST_F(PathMinutesTest, CountsOneMinutePerPlainStep) {
	EXPECT_EQ(minutes(Array()), 0);
	EXPECT_EQ(minutes(cell_list({ Vector3i(2, 0, 0) })), 0);
	EXPECT_EQ(minutes(cell_list({ Vector3i(0, 0, 1), Vector3i(1, 0, 1), Vector3i(2, 0, 1), Vector3i(3, 0, 1), Vector3i(4, 0, 1), Vector3i(5, 0, 1) })), 5);
	EXPECT_EQ(cost_questions(), 0);
}

TEST_F(PathMinutesTest, AnElevatorStepCostsTheWholeRouteAndEndsTheScan) {
	resort.options().route_cost_answer = int64_t(450);
	const Array route = cell_list({ Vector3i(2, 0, 0), Vector3i(1, 0, 0), Vector3i(0, 0, 0), Vector3i(0, 1, 0), Vector3i(1, 1, 0), Vector3i(2, 1, 0) });
	EXPECT_EQ(minutes(route), 5);
	EXPECT_EQ(ResortFixture::call_count(resort.path(), "get_step_connector"), 3);
	EXPECT_EQ(cost_questions(), 1);
	const std::vector<engine_double::CallLogEntry> entries = engine_double::call_log_entries_for(resort.path());
	EXPECT_EQ(entries.back().arguments, Array::make(Vector3i(2, 0, 0), Vector3i(2, 1, 0), route));
}

TEST_F(PathMinutesTest, ACostedStairNeedsExactlyOneFloorCost150AndSpareCredit) {
	// 100 + 150 + 100 of cost: 3.5 minutes, rounded up.
	EXPECT_EQ(minutes(stair_route(), 10, 20), 4);
	EXPECT_EQ(minutes(stair_route(), 20, 20), 3);
	EXPECT_EQ(minutes(stair_route(), 21, 20), 3);
	set_stair_cost(149);
	EXPECT_EQ(minutes(stair_route(), 10, 20), 3);
	set_stair_cost(151);
	EXPECT_EQ(minutes(stair_route(), 10, 20), 3);
	EXPECT_EQ(cost_questions(), 1);

	// Two floors at once is no stair step, whatever its record says.
	set_stair_cost(150);
	resort.add_connector_step(Vector3i(11, 0, 0), Vector3i(11, 2, 0), "infra.connector:stair_0", "CONNECTOR", 150);
	EXPECT_EQ(minutes(cell_list({ Vector3i(11, 0, 0), Vector3i(11, 2, 0) })), 1);
	// A record of another movement type is no stair either.
	resort.add_connector_step(Vector3i(3, 0, 0), Vector3i(3, 1, 0), "infra.connector:ramp", "RAMP", 150);
	EXPECT_EQ(minutes(cell_list({ Vector3i(3, 0, 0), Vector3i(3, 1, 0) })), 1);
	EXPECT_EQ(cost_questions(), 1);
}

TEST_F(PathMinutesTest, AsksTheElevatorServiceOncePerRunOfATrustedMemo) {
	resort.warm_step_memo();
	const Array plain = cell_list({ Vector3i(1, 2, 1), Vector3i(2, 2, 1), Vector3i(3, 2, 1), Vector3i(4, 2, 1), Vector3i(5, 2, 1) });
	EXPECT_EQ(minutes(plain), 4);
	EXPECT_EQ(elevator_questions(), 1);
	EXPECT_EQ(ResortFixture::call_count(resort.path(), "get_step_connector"), 0);

	// An elevator service of another script makes the memo untrusted: every step is asked.
	Ref<RefCounted> foreign = foreign_object("owns_connector", [](const engine_double::ScriptCall &) -> Variant { return false; });
	EXPECT_EQ(minutes(plain, 10, 20, 100, foreign.ptr()), 4);
	EXPECT_EQ(elevator_questions(foreign.ptr()), 4);

	// A non-boolean answer is not remembered either.
	Ref<engine_double::ScriptDouble> numeric_script = engine_double::ScriptDouble::create(ELEVATOR_SERVICE_SCRIPT_PATH);
	numeric_script->method("owns_connector", 1, [](const engine_double::ScriptCall &) -> Variant { return int64_t(0); });
	Ref<RefCounted> numeric_elevators = numeric_script->instantiate();
	EXPECT_EQ(minutes(plain, 10, 20, 100, numeric_elevators.ptr()), 4);
	EXPECT_EQ(elevator_questions(numeric_elevators.ptr()), 4);
}

TEST_F(PathMinutesTest, AsksOnceForARunThroughAStairAndAgainForTheWalkAfterIt) {
	resort.warm_step_memo();
	// Up the east stair and back down: a walk step, two through the stair, a walk step. The
	// stair is not costed while the credit does not exceed the movement scale.
	const Array route = cell_list({ Vector3i(10, 0, 0), Vector3i(11, 0, 0), Vector3i(11, 1, 0), Vector3i(11, 0, 0), Vector3i(10, 0, 0) });
	EXPECT_EQ(minutes(route, 20, 20), 4);
	const StringName owns_connector("owns_connector");
	Array asked;
	for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries_for(resort.elevators())) {
		if (entry.name == owns_connector) {
			asked.append(entry.arguments);
		}
	}
	const StringName walk;
	const StringName stair("infra.connector:stair_0");
	EXPECT_EQ(text_of(asked), text_of(Array::make(Array::make(walk), Array::make(stair), Array::make(walk))));
	EXPECT_EQ(ResortFixture::call_count(resort.path(), "get_connector"), 2);
}

// A short route and one long enough to be walked through an engine copy: the same questions
// as when the route stays as it is.
TEST_F(PathMinutesTest, AScriptThatEmptiesTheRouteMidWalkDoesNotChangeTheStepsWalked) {
	resort.options().route_cost_answer = int64_t(450);
	for (const int32_t start_x : { 2, 45 }) {
		std::vector<std::string> asked[2];
		for (const bool empties : { false, true }) {
			Array route;
			for (int32_t x = start_x; x >= 0; x--) {
				route.append(Vector3i(x, 0, 0));
			}
			route.append_array(cell_list({ Vector3i(0, 1, 0), Vector3i(1, 1, 0), Vector3i(2, 1, 0) }));
			Ref<engine_double::ScriptDouble> script = engine_double::ScriptDouble::create(ELEVATOR_SERVICE_SCRIPT_PATH);
			script->method("owns_connector", 1, [route, empties](const engine_double::ScriptCall &p_call) mutable -> Variant {
				if (empties) {
					route.clear();
				}
				return String(p_call[0]).begins_with("elevator.");
			});
			Ref<RefCounted> elevators = script->instantiate();
			// The service remembers the steps it was asked about: each walk starts from none.
			resort.step_memo.clear();
			engine_double::error_log_clear();
			engine_double::call_log_clear();
			// The walk reaches the shaft, and the route's cost is asked from the ends it was given.
			EXPECT_EQ(minutes(route, 10, 20, 100, elevators.ptr()), 5);
			const std::vector<engine_double::CallLogEntry> entries = engine_double::call_log_entries_for(resort.path());
			ASSERT_FALSE(entries.empty());
			EXPECT_EQ(entries.back().arguments, Array::make(Vector3i(start_x, 0, 0), Vector3i(2, 1, 0), empties ? Array() : route));
			EXPECT_EQ(engine_double::error_log_size(), 0u);
			asked[empties] = engine_double::call_log_lines();
		}
		EXPECT_GE(asked[false].size(), size_t(3));
		EXPECT_EQ(asked[true].size(), asked[false].size());
		// Every question but the last (its route argument) is the same.
		for (size_t i = 0; i + 1 < asked[false].size() && i + 1 < asked[true].size(); i++) {
			EXPECT_EQ(asked[true][i], asked[false][i]) << "start " << start_x << ", call " << i;
		}
	}
}

TEST_F(PathMinutesTest, AMemoEntryThatIsNotANameIsNoMemoHit) {
	resort.warm_step_memo();
	Dictionary steps = resort.step_memo.get(Vector3i(2, 2, 1), Variant());
	steps[Vector3i(3, 2, 1)] = String();
	const Array plain = cell_list({ Vector3i(1, 2, 1), Vector3i(2, 2, 1), Vector3i(3, 2, 1), Vector3i(4, 2, 1) });
	EXPECT_EQ(minutes(plain), 3);
	// The String entry breaks the run: asked at the first step, at it, and after it.
	EXPECT_EQ(elevator_questions(), 3);
}

TEST_F(PathMinutesTest, NeverDividesByANonPositiveOrthogonalCost) {
	const Array route = cell_list({ Vector3i(1, 0, 0), Vector3i(0, 0, 0), Vector3i(0, 1, 0) });
	EXPECT_EQ(minutes(route, 10, 20, 0), 2);
	EXPECT_EQ(minutes(route, 10, 20, -100), 2);
	EXPECT_EQ(cost_questions(), 0);
}

TEST_F(PathMinutesTest, RoundsTheCostUpAndSaturatesAtTheBounds) {
	const Array route = cell_list({ Vector3i(1, 0, 0), Vector3i(0, 0, 0), Vector3i(0, 1, 0) });
	struct Case {
		int64_t cost;
		int64_t orthogonal_cost;
		int64_t minutes;
	};
	const Case cases[] = {
		{ 300, 100, 3 },
		{ 301, 100, 4 },
		{ -150, 100, -1 },
		{ MAX64, 1, MAX64 },
		{ MIN64, 1, MIN64 },
		{ MAX64, MAX64, 1 },
	};
	for (const Case &test_case : cases) {
		resort.options().route_cost_answer = test_case.cost;
		EXPECT_EQ(minutes(route, 10, 20, test_case.orthogonal_cost), test_case.minutes) << test_case.cost << " / " << test_case.orthogonal_cost;
	}
}

// The path-cache key.

TEST_F(PartsTest, WritesTheCacheKeyByteForByte) {
	TypedArray<int64_t> layers;
	layers.append(int64_t(0));
	layers.append(int64_t(1));
	TypedArray<StringName> access;
	access.append(StringName("staff"));
	access.append(StringName("vip"));
	const Vector3i start(3, 7, 0);
	const Vector3i goal(12, 7, 1);
	EXPECT_EQ(text_of(veltrin::cache_key_with_suffix(start, goal, veltrin::cache_key_suffix(names, resort.path(), layers, access))),
	        "3,7,0>12,7,1|L:0,1|A:5:staff,3:vip|R:42");
	EXPECT_EQ(text_of(veltrin::cache_key_with_suffix(start, goal, veltrin::cache_key_suffix(names, resort.path(), TypedArray<int64_t>(), TypedArray<StringName>()))),
	        "3,7,0>12,7,1|L:|A:|R:42");

	// Lengths count characters, not bytes; negative numbers keep their sign.
	ResortFixture::set_member(resort.path(), "graph_revision", int64_t(-3));
	TypedArray<int64_t> negative;
	negative.append(int64_t(-1));
	TypedArray<StringName> accented;
	accented.append(StringName(String::utf8("caf\xc3\xa9")));
	EXPECT_EQ(text_of(veltrin::cache_key_with_suffix(Vector3i(-4, 0, -1), goal, veltrin::cache_key_suffix(names, resort.path(), negative, accented))),
	        "-4,0,-1>12,7,1|L:-1|A:4:caf\xc3\xa9|R:-3");
}

TEST_F(PartsTest, ReadsTreeCostsOrReportsThemMissing) {
	Dictionary indices;
	indices[Vector3i(1, 0, 0)] = 0;
	indices[Vector3i(2, 0, 0)] = 2;
	PackedInt64Array costs;
	costs.push_back(70);
	Dictionary tree;
	tree["compact"] = true;
	tree["indices"] = indices;
	tree["cost_values"] = costs;
	EXPECT_EQ(veltrin::tree_cost(names, tree, Vector3i(1, 0, 0)), 70);
	EXPECT_EQ(veltrin::tree_cost(names, tree, Vector3i(2, 0, 0)), veltrin::MISSING_TREE_COST);
	EXPECT_EQ(veltrin::tree_cost(names, tree, Vector3i(3, 0, 0)), veltrin::MISSING_TREE_COST);
	Dictionary by_cell;
	by_cell[Vector3i(3, 0, 0)] = 40;
	tree["compact"] = false;
	tree["costs"] = by_cell;
	EXPECT_EQ(veltrin::tree_cost(names, tree, Vector3i(3, 0, 0)), 40);
	EXPECT_EQ(veltrin::tree_cost(names, tree, Vector3i(1, 0, 0)), veltrin::MISSING_TREE_COST);
}

// Guarded arithmetic.

TEST(SaturatingMathTest, PinsOverflowsToTheBounds) {
	EXPECT_EQ(veltrin::saturating_multiply(MAX64, 2), MAX64);
	EXPECT_EQ(veltrin::saturating_multiply(MIN64, 2), MIN64);
	EXPECT_EQ(veltrin::saturating_multiply(MIN64, -1), MAX64);
	EXPECT_EQ(veltrin::saturating_multiply(-3, MAX64), MIN64);
	EXPECT_EQ(veltrin::saturating_multiply(-3, 7), -21);
	EXPECT_EQ(veltrin::non_negative_difference(MAX64, MIN64), MAX64);
	EXPECT_EQ(veltrin::non_negative_difference(MIN64, MAX64), 0);
	EXPECT_EQ(veltrin::non_negative_difference(10, 4), 6);
	EXPECT_EQ(veltrin::non_negative_difference(-4, -10), 6);
	EXPECT_EQ(veltrin::saturating_ceil(1e300), MAX64);
	EXPECT_EQ(veltrin::saturating_ceil(-1e300), MIN64);
	EXPECT_EQ(veltrin::saturating_ceil(-9223372036854775808.0), MIN64);
	EXPECT_EQ(veltrin::saturating_ceil(2.000001), 3);
}

} // namespace
} // namespace veltrin_test
