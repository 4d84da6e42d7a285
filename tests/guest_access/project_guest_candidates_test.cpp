// project_guest_candidates: the guards, the one query batch per call, the facility filter,
// and each field of the candidate rows.

#include "access_test_base.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/script_hook.hpp>
#include <godot_cpp/core/memory.hpp>

#include <algorithm>
#include <limits>

using namespace godot;

namespace veltrin_test {
namespace {

const Vector3i GUEST_CELL(2, 0, 0);
constexpr int64_t INT64_MAX_VALUE = std::numeric_limits<int64_t>::max();
constexpr int64_t INT64_MIN_VALUE = std::numeric_limits<int64_t>::min();

const std::vector<std::string> FULL_ROW_KEYS = { "facility_id", "facility_tags", "is_open", "reachable", "travel_minutes",
	"expected_wait", "estimated_total_gold", "expected_quality", "need_relief", "risk_level", "illegal_level", "group_fit",
	"service_category", "path_handle" };

class ProjectionTest : public AccessTest {
protected:
	void SetUp() override {
		AccessTest::SetUp();
		resort->guests().add_guest("g1", guest_values_at(GUEST_CELL));
		resort->add_definition("plain_kind", tag_array({ "social" }));
		engine_double::call_log_clear();
	}

	Object *path() const { return resort->path(); }

	Array candidates_of(const Dictionary &p_answer) const {
		EXPECT_EQ(key_texts(p_answer), std::vector<std::string>({ "supported", "candidates" }));
		EXPECT_TRUE(bool(p_answer.get("supported", false)));
		return p_answer.get("candidates", Variant());
	}

	// The single row of a projection of one facility.
	Dictionary only_row() const {
		const Array rows = candidates_of(project());
		EXPECT_EQ(rows.size(), 1);
		return rows.is_empty() ? Dictionary() : Dictionary(rows[0]);
	}

	Object *add_plain(const char *p_id, const Vector3i &p_origin) {
		return resort->add_facility(facility_values(p_id, "plain_kind", p_origin));
	}

	void expect_declined_without_batch(const Dictionary &p_answer) const {
		EXPECT_EQ(key_texts(p_answer), std::vector<std::string>({ "supported" }));
		EXPECT_FALSE(bool(p_answer.get("supported", true)));
		EXPECT_EQ(ResortFixture::call_count(path(), "begin_guest_path_query_batch"), 0);
		EXPECT_EQ(ResortFixture::call_count(path(), "end_guest_path_query_batch"), 0);
	}

	std::vector<std::string> ids_of(const Array &p_rows) const {
		std::vector<std::string> ids;
		for (int64_t i = 0; i < p_rows.size(); i++) {
			ids.push_back(String(Dictionary(p_rows[i]).get("facility_id", Variant())).utf8().get_data());
		}
		return ids;
	}
};

TEST_F(ProjectionTest, ProjectsEveryFacilityBetweenOneOpeningAndOneClosingOfTheBatch) {
	add_standard_facilities(*resort);
	const Array rows = candidates_of(project());
	EXPECT_EQ(ids_of(rows), std::vector<std::string>({ "cafe", "inn", "spa", "casino", "gate" }));
	EXPECT_EQ(key_texts(rows[0]), FULL_ROW_KEYS);
	EXPECT_EQ(key_texts(rows[3]), std::vector<std::string>({ "facility_id", "inputs_available" }));
	EXPECT_FALSE(bool(Dictionary(rows[3]).get("inputs_available", true)));

	const std::vector<std::string> names = log_names(path());
	ASSERT_FALSE(names.empty());
	EXPECT_EQ(std::count(names.begin(), names.end(), "call begin_guest_path_query_batch"), 1);
	EXPECT_EQ(std::count(names.begin(), names.end(), "call end_guest_path_query_batch"), 1);
	EXPECT_EQ(names.back(), "call end_guest_path_query_batch");
	EXPECT_EQ(ResortFixture::call_count(path(), "_build_guest_query_tree_compact"), 1);
	EXPECT_EQ(ResortFixture::call_count(resort->facility_service(), "get_instances"), 2);

	// The goal set is every facility's access cells, concatenated in instance order.
	for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries_for(path())) {
		if (entry.kind == engine_double::CallLogKind::CALL && entry.name == StringName("begin_guest_path_query_batch")) {
			EXPECT_EQ(Vector3i(entry.arguments[0]), GUEST_CELL);
			EXPECT_EQ(Array(entry.arguments[1]), cells({ Vector3i(3, 0, 0), Vector3i(6, 0, 0), Vector3i(4, 1, 1), Vector3i(7, 1, 1), Vector3i(2, 2, 0), Vector3i(5, 2, 0), Vector3i(7, 1, 0), Vector3i(10, 1, 0), Vector3i(8, 0, 1), Vector3i(11, 0, 1), Vector3i(0, 0, 1), Vector3i(2, 0, 1) }));
		}
	}
	// The casino's inputs are asked in name order, up to the first short one.
	int64_t casino_questions = 0;
	for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries_for(resort->inventory())) {
		if (Variant(entry.arguments[0]) == Variant(StringName("casino_stock"))) {
			casino_questions++;
			EXPECT_EQ(entry.arguments[1], Variant(StringName(casino_questions == 1 ? "cards" : "chips")));
		}
	}
	EXPECT_EQ(casino_questions, 2);
	EXPECT_TRUE(resort->query_batch().is_empty());
}

TEST_F(ProjectionTest, FillsEachRowFieldFromTheFacilityAndItsRoute) {
	add_standard_facilities(*resort);
	const Array rows = candidates_of(project());
	const Dictionary cafe = rows[0];
	EXPECT_EQ(cafe.get("facility_id", Variant()), Variant(StringName("cafe")));
	EXPECT_EQ(Array(cafe.get("facility_tags", Variant())), tag_array({ "dining", "social" }));
	EXPECT_TRUE(bool(cafe.get("is_open", false)));
	EXPECT_TRUE(bool(cafe.get("reachable", false)));
	EXPECT_EQ(int64_t(cafe.get("travel_minutes", -1)), 1);
	EXPECT_EQ(int64_t(cafe.get("expected_wait", -1)), 15);
	EXPECT_EQ(cafe.get("estimated_total_gold", Variant()), Variant(int64_t(12)));
	EXPECT_EQ(int64_t(cafe.get("expected_quality", -1)), 50);
	const Dictionary relief = cafe.get("need_relief", Variant());
	EXPECT_EQ(key_texts(relief), std::vector<std::string>({ "hunger", "sleep", "hygiene", "medical", "leisure", "intimacy" }));
	EXPECT_EQ(int64_t(relief.get("hunger", -1)), 80);
	EXPECT_EQ(int64_t(relief.get("leisure", -1)), 40);
	EXPECT_EQ(cafe.get("risk_level", Variant()), Variant(int64_t(0)));
	EXPECT_EQ(cafe.get("illegal_level", Variant()), Variant(int64_t(0)));
	EXPECT_EQ(int64_t(cafe.get("group_fit", -1)), 10);
	EXPECT_EQ(cafe.get("service_category", Variant()), Variant(StringName("food")));
	const Dictionary handle = cafe.get("path_handle", Variant());
	EXPECT_EQ(key_texts(handle), std::vector<std::string>({ "target_cell", "graph_revision" }));
	EXPECT_EQ(handle.get("target_cell", Variant()), Variant(Vector3i(3, 0, 0)));
	EXPECT_EQ(handle.get("graph_revision", Variant()), Variant(RESORT_GRAPH_REVISION));

	// The inn is one floor up by elevator: 950 of cost is 10 walking minutes (9.5 rounded up).
	const Dictionary inn = rows[1];
	EXPECT_EQ(int64_t(inn.get("travel_minutes", -1)), 10);
	EXPECT_EQ(Dictionary(inn.get("path_handle", Variant())).get("target_cell", Variant()), Variant(Vector3i(4, 1, 1)));
	EXPECT_EQ(inn.get("service_category", Variant()), Variant(StringName("lodging")));
	EXPECT_EQ(int64_t(inn.get("group_fit", -1)), 20);
	// The spa is two floors up: 900 of cost.
	EXPECT_EQ(int64_t(Dictionary(rows[2]).get("travel_minutes", -1)), 9);
	EXPECT_EQ(Dictionary(rows[2]).get("service_category", Variant()), Variant(StringName("service")));
	// The gate is a step across to the back layer.
	EXPECT_EQ(int64_t(Dictionary(rows[4]).get("travel_minutes", -1)), 1);
	EXPECT_EQ(ResortFixture::call_count(path(), "calculate_guest_batch_path_cost"), 2);
}

TEST_F(ProjectionTest, DeclinesUnlessEveryServiceIsTheGamesOwn) {
	add_plain("bar", Vector3i(5, 0, 0));
	expect_declined_without_batch(project(resort->path(), "g1", resort->ticks()));
	expect_declined_without_batch(project(resort->runtime(), "g1", Callable()));

	const char *const services[] = { "path_service", "elevators", "facility_service", "definition_registry", "inventory_service", "guest_service" };
	for (const char *service : services) {
		const Variant original = ResortFixture::member(resort->runtime(), service);
		// Any other of the game's objects is still the wrong script for this slot.
		const Variant impostor = String(service) == "elevators" ? Variant(resort->path()) : Variant(resort->elevators());
		ResortFixture::set_member(resort->runtime(), service, impostor);
		expect_declined_without_batch(project());
		ResortFixture::set_member(resort->runtime(), service, original);
	}
	resort->options().batch_can_select = false;
	expect_declined_without_batch(project());
	EXPECT_EQ(resort->tick_calls(), 0);
}

TEST_F(ProjectionTest, AnUnknownGuestIsAnEmptyProjectionAndAForeignOneDeclines) {
	add_plain("bar", Vector3i(5, 0, 0));
	EXPECT_TRUE(candidates_of(project("nobody")).is_empty());
	EXPECT_EQ(ResortFixture::call_count(path(), "begin_guest_path_query_batch"), 0);
	EXPECT_EQ(ResortFixture::call_count(resort->facility_service(), "get_instances"), 0);

	resort->guests().set_guest_answer("stranger", resort->elevators());
	expect_declined_without_batch(project("stranger"));
}

TEST_F(ProjectionTest, OneForeignFacilityOrDefinitionDeclinesTheWholeCall) {
	add_plain("bar", Vector3i(5, 0, 0));
	resort->add_instance_value(resort->elevators());
	expect_declined_without_batch(project());

	resort->instances.resize(1);
	resort->add_facility(facility_values("odd", "odd_kind", Vector3i(8, 0, 0)));
	resort->set_definition_answer("odd_kind", resort->path());
	expect_declined_without_batch(project());
}

// The facilities share one script, whose path is read once per call, but each facility is
// asked for its script afresh: one given a foreign script mid-call declines the call.
TEST_F(ProjectionTest, AFacilityGivenAForeignScriptMidCallDeclines) {
	add_plain("cafe", Vector3i(4, 0, 0));
	const uint64_t bar = add_plain("bar", Vector3i(8, 0, 0))->get_instance_id();
	const Variant foreign = path()->get_script();
	bool swapped = false;
	engine_double::script_hook_set([bar, foreign, &swapped](engine_double::ScriptHookCall &r_call) {
		if (!swapped && r_call.point == engine_double::ScriptHookPoint::AFTER && r_call.method == StringName("get_facility")) {
			swapped = true;
			ObjectDB::get_instance(bar)->set_script(foreign);
		}
	});
	const Dictionary answer = project();
	engine_double::script_hook_set(nullptr);
	EXPECT_TRUE(swapped);
	expect_declined_without_batch(answer);
}

TEST_F(ProjectionTest, PassesOverUnknownStaffAndPassedEntranceFacilities) {
	add_plain("bar", Vector3i(5, 0, 0));
	resort->add_facility(facility_values("ghost", "unknown_kind", Vector3i(8, 0, 0)));
	resort->add_definition("staff_kind", tag_array({ "staff_only", "dining" }));
	resort->add_facility(facility_values("kitchen", "staff_kind", Vector3i(5, 1, 0)));
	resort->add_definition("gate_kind", tag_array({ "entrance" }));
	resort->add_facility(facility_values("gate", "gate_kind", Vector3i(8, 1, 0)));

	EXPECT_EQ(ids_of(candidates_of(project())), std::vector<std::string>({ "bar", "gate" }));
	resort->options().guest_checked_in = true;
	EXPECT_EQ(ids_of(candidates_of(project())), std::vector<std::string>({ "bar" }));
	// Only the entrance asks whether the guest checked in.
	EXPECT_EQ(ResortFixture::call_count(resort->runtime(), "_guest_has_checked_in"), 2);
}

TEST_F(ProjectionTest, StopsAtTheFirstShortInputInNameOrder) {
	Dictionary inputs;
	inputs[StringName("b")] = int64_t(2);
	inputs[StringName("a")] = int64_t(1);
	resort->add_definition("mill_kind", tag_array({ "service" }), inputs);
	resort->add_facility(facility_values("mill", "mill_kind", Vector3i(5, 0, 0)));

	const Dictionary row = only_row();
	EXPECT_EQ(key_texts(row), std::vector<std::string>({ "facility_id", "inputs_available" }));
	const std::vector<engine_double::CallLogEntry> asked = engine_double::call_log_entries_for(resort->inventory());
	ASSERT_EQ(asked.size(), 1u);
	EXPECT_EQ(asked[0].arguments[1], Variant(StringName("a")));
#ifdef VELTRIN_NATIVE_INPUT_ORDER
	EXPECT_EQ(ResortFixture::call_count(resort->runtime(), "_sorted_name_keys"), 0);
#else
	EXPECT_EQ(ResortFixture::call_count(resort->runtime(), "_sorted_name_keys"), 1);
#endif

	// Equal quantities pass; a String key leaves the order to the runtime.
	resort->set_stock(StringName("mill_stock"), "a", 1);
	resort->set_stock(StringName("mill_stock"), "b", 2);
	inputs[String("c")] = int64_t(0);
	engine_double::call_log_clear();
	EXPECT_EQ(key_texts(only_row()), FULL_ROW_KEYS);
	EXPECT_EQ(ResortFixture::call_count(resort->runtime(), "_sorted_name_keys"), 1);
	EXPECT_EQ(ResortFixture::call_count(resort->inventory(), "available_quantity"), 3);
}

TEST_F(ProjectionTest, NoFacilitiesStillOpensAndClosesTheBatch) {
	EXPECT_TRUE(candidates_of(project()).is_empty());
	EXPECT_EQ(log_names(path()), std::vector<std::string>({ "call begin_guest_path_query_batch", "call end_guest_path_query_batch" }));
	const std::vector<engine_double::CallLogEntry> entries = engine_double::call_log_entries_for(path());
	EXPECT_TRUE(Array(entries[0].arguments[1]).is_empty());
}

TEST_F(ProjectionTest, ComputesWaitFitAndQualityWithClampsAndSaturation) {
	struct Case {
		Variant capacity;
		Variant minutes;
		int64_t queue;
		Variant quality;
		int64_t wait;
		int64_t fit;
		int64_t expected_quality;
	};
	const Case cases[] = {
		{ int64_t(3), int64_t(7), 5, int64_t(150), 11, 15, 100 },
		{ int64_t(9), int64_t(7), 5, int64_t(-5), 3, 20, 0 },
		// No seats: the wait is not divided, and nobody fits.
		{ int64_t(0), int64_t(7), 5, int64_t(100), 35, 0, 100 },
		{ Variant(), int64_t(-7), 3, Variant(), -21, 0, 0 },
		{ int64_t(-2), int64_t(7), 2, int64_t(0), 14, -10, 0 },
		// Products beyond 64 bits stay at the bound instead of wrapping.
		{ int64_t(1), INT64_MAX_VALUE, 2, INT64_MAX_VALUE, INT64_MAX_VALUE, 5, 100 },
		{ int64_t(2), INT64_MIN_VALUE, 3, INT64_MIN_VALUE, INT64_MIN_VALUE / 2, 10, 0 },
		{ INT64_MIN_VALUE, int64_t(1), 1, int64_t(1), 1, INT64_MIN_VALUE, 1 },
	};
	for (const Case &test_case : cases) {
		resort->instances.clear();
		FacilityValues values = facility_values("bar", "plain_kind", Vector3i(5, 0, 0));
		values.capacity = test_case.capacity;
		values.base_service_minutes = test_case.minutes;
		values.queue_entries = queue_of(test_case.queue);
		values.base_quality = test_case.quality;
		resort->add_facility(values);
		const Dictionary row = only_row();
		EXPECT_EQ(int64_t(row.get("expected_wait", 0)), test_case.wait) << "capacity " << int64_t(test_case.capacity);
		EXPECT_EQ(int64_t(row.get("group_fit", 0)), test_case.fit) << "capacity " << int64_t(test_case.capacity);
		EXPECT_EQ(int64_t(row.get("expected_quality", 0)), test_case.expected_quality);
	}
}

TEST_F(ProjectionTest, RowsOfOneKindHoldReliefDictionariesOfTheirOwn) {
	resort->instances.clear();
	resort->add_facility(facility_values("bar", "plain_kind", Vector3i(5, 0, 0)));
	resort->add_facility(facility_values("pub", "plain_kind", Vector3i(5, 0, 0)));
	resort->add_facility(facility_values("inn", "plain_kind", Vector3i(5, 0, 0)));
	const Array rows = candidates_of(project());
	ASSERT_EQ(rows.size(), 3);
	for (int64_t written = 0; written < 2; written++) {
		Dictionary relief = Dictionary(rows[written]).get("need_relief", Variant());
		const Dictionary next = Dictionary(rows[written + 1]).get("need_relief", Variant());
		EXPECT_EQ(relief, next);
		relief[StringName("leisure")] = int64_t(-1);
		EXPECT_NE(int64_t(next.get("leisure", -1)), -1);
	}
}

TEST_F(ProjectionTest, OpenMeansTheOpenOrTheDegradedState) {
	for (const int64_t state : { FACILITY_OPEN, FACILITY_DEGRADED, FACILITY_CLOSED, int64_t(7) }) {
		resort->instances.clear();
		FacilityValues values = facility_values("bar", "plain_kind", Vector3i(5, 0, 0));
		values.state = state;
		resort->add_facility(values);
		const Dictionary row = only_row();
		EXPECT_EQ(key_texts(row), FULL_ROW_KEYS);
		EXPECT_EQ(bool(row.get("is_open", Variant())), state == FACILITY_OPEN || state == FACILITY_DEGRADED) << state;
	}
}

TEST_F(ProjectionTest, FallsBackToTheRuntimesAccessPathWhenTheNativeSearchDeclines) {
	add_plain("bar", Vector3i(5, 0, 0));
	// A cached route makes the native search decline.
	resort->path_cache["2,0,0>4,0,0|L:0,1|A:|R:42"] = cells({ GUEST_CELL, Vector3i(4, 0, 0) });
	Dictionary row = only_row();
	EXPECT_EQ(ResortFixture::call_count(resort->runtime(), "_find_facility_access_path"), 1);
	EXPECT_EQ(Dictionary(row.get("path_handle", Variant())).get("target_cell", Variant()), Variant(Vector3i(4, 0, 0)));
	EXPECT_EQ(int64_t(row.get("travel_minutes", -1)), 2);

	// Without a target_cell the guest's cell stands in.
	resort->options().access_answer_has_target = false;
	row = only_row();
	EXPECT_EQ(Dictionary(row.get("path_handle", Variant())).get("target_cell", Variant()), Variant(GUEST_CELL));
	EXPECT_TRUE(bool(row.get("reachable", false)));

	// So does a route cache that cannot keep the route the native search would find.
	resort->path_cache.clear();
	resort->path_cache.make_read_only();
	only_row();
	EXPECT_EQ(ResortFixture::call_count(resort->runtime(), "_find_facility_access_path"), 3);
	EXPECT_EQ(ResortFixture::call_count(resort->path(), "_build_guest_query_tree_compact"), 0);
}

TEST_F(ProjectionTest, AnUnreachableFacilityStillGetsAFullRow) {
	FacilityValues values = facility_values("vault", "plain_kind", Vector3i(5, 2, 1));
	resort->add_facility(values);
	// Both access cells are blocked for now.
	for (const Vector3i &cell : { Vector3i(4, 2, 1), Vector3i(7, 2, 1) }) {
		Dictionary traffic;
		traffic["temporary_block"] = true;
		resort->cell_traffic[cell] = traffic;
	}
	const Dictionary row = only_row();
	EXPECT_EQ(key_texts(row), FULL_ROW_KEYS);
	EXPECT_FALSE(bool(row.get("reachable", true)));
	EXPECT_EQ(int64_t(row.get("travel_minutes", -1)), 0);
	EXPECT_EQ(Dictionary(row.get("path_handle", Variant())).get("target_cell", Variant()), Variant(Vector3i(5, 2, 1)));
}

TEST_F(ProjectionTest, UntypedTagsAreMappedByTheRuntime) {
	resort->add_definition("loose_kind", tag_array({ "dining" }, false));
	resort->add_facility(facility_values("stall", "loose_kind", Vector3i(5, 0, 0)));
	const Dictionary row = only_row();
	EXPECT_EQ(row.get("service_category", Variant()), Variant(String("scripted")));
	EXPECT_EQ(int64_t(Dictionary(row.get("need_relief", Variant())).get("leisure", -1)), 1);
	EXPECT_EQ(ResortFixture::call_count(resort->runtime(), "_need_relief_for_facility_tags"), 1);
	EXPECT_EQ(ResortFixture::call_count(resort->runtime(), "_service_category_for_tags"), 1);
}

TEST_F(ProjectionTest, AHoleInTheSecondInstanceListIsPassedOver) {
	Object *bar = add_plain("bar", Vector3i(5, 0, 0));
	Array later;
	later.append(Variant());
	later.append(bar);
	resort->options().later_instances_answer = later;
	EXPECT_EQ(ids_of(candidates_of(project())), std::vector<std::string>({ "bar" }));
	EXPECT_EQ(ResortFixture::call_count(path(), "end_guest_path_query_batch"), 1);
}

TEST_F(ProjectionTest, ANonPositiveOrthogonalCostCountsSteps) {
	add_standard_facilities(*resort);
	for (const int64_t orthogonal_cost : { int64_t(0), int64_t(-100) }) {
		engine_double::call_log_clear();
		const Array rows = candidates_of(project(resort->runtime(), "g1", resort->ticks(), orthogonal_cost));
		// The inn's route: two steps to the shaft, one floor up, four steps and one across.
		EXPECT_EQ(int64_t(Dictionary(rows[1]).get("travel_minutes", -1)), 8);
		EXPECT_EQ(ResortFixture::call_count(path(), "calculate_guest_batch_path_cost"), 0);
	}
}

TEST_F(ProjectionTest, ReadsEachStepsConnectorFromTheMemoOnceItIsWarm) {
	add_standard_facilities(*resort);
	resort->warm_step_memo();
	candidates_of(project());
	EXPECT_EQ(ResortFixture::call_count(path(), "get_step_connector"), 0);
	// Plain runs are asked once per run: the cafe (1), the inn (plain run, elevator), the
	// spa (plain run, elevator), the gate (1).
	EXPECT_EQ(ResortFixture::call_count(resort->elevators(), "owns_connector"), 6);
}

#ifdef VELTRIN_DIAGNOSTICS
TEST_F(ProjectionTest, CountsEachPhase) {
	add_standard_facilities(*resort);
	call("diagnostic_reset");
	project();
	const Dictionary snapshot = call("diagnostic_snapshot");
	auto calls_of = [&snapshot](const char *p_phase) {
		return int64_t(Dictionary(snapshot.get(StringName(p_phase), Variant())).get("calls", -1));
	};
	EXPECT_EQ(calls_of("projection_total"), 1);
	EXPECT_EQ(calls_of("projection_guard_preflight"), 1);
	EXPECT_EQ(calls_of("goal_batch_prepare"), 1);
	// Six facilities visited; the staff room and the casino stop in the filter.
	EXPECT_EQ(calls_of("facility_input_filter"), 6);
	EXPECT_EQ(calls_of("facility_access_cells"), 4);
	EXPECT_EQ(calls_of("nearest_total"), 4);
	EXPECT_EQ(calls_of("row_prepare"), 4);
	EXPECT_EQ(calls_of("travel_minutes"), 4);
	EXPECT_EQ(calls_of("batch_end"), 1);
	EXPECT_EQ(calls_of("query_tree_build"), 1);

	call("diagnostic_reset");
	project("nobody");
	const Dictionary after_decline = call("diagnostic_snapshot");
	EXPECT_EQ(int64_t(Dictionary(after_decline.get(StringName("projection_guard_preflight"), Variant())).get("calls", -1)), 1);
	EXPECT_EQ(int64_t(Dictionary(after_decline.get(StringName("goal_batch_prepare"), Variant())).get("calls", -1)), 0);
}
#endif

} // namespace
} // namespace veltrin_test

namespace veltrin_test {
namespace {

// A guest that is a plain object (a node, say) freed by a service's script in the middle of
// the call, at each script call that follows the guest's lookup: the call declines rather
// than read it, and closes the batch whenever it opened one.
TEST_F(ProjectionTest, AGuestAScriptFreesMidCallDeclines) {
	add_plain("cafe", Vector3i(4, 0, 0));
	resort->guests().use_plain_objects(true);
	for (const char *method : { "get_instances", "get_facility", "begin_guest_path_query_batch", "get_facility_business_price" }) {
		SCOPED_TRACE(method);
		const uint64_t guest = resort->guests().add_guest("g2", guest_values_at(GUEST_CELL))->get_instance_id();
		const StringName freeing(method);
		engine_double::script_hook_set([guest, freeing](engine_double::ScriptHookCall &r_call) {
			Object *alive = ObjectDB::get_instance(guest);
			if (alive != nullptr && r_call.point == engine_double::ScriptHookPoint::AFTER && r_call.method == freeing) {
				memdelete(alive);
			}
		});
		const Dictionary answer = project("g2");
		engine_double::script_hook_set(nullptr);
		EXPECT_EQ(ObjectDB::get_instance(guest), nullptr);
		EXPECT_EQ(key_texts(answer), std::vector<std::string>({ "supported" }));
		EXPECT_EQ(ResortFixture::call_count(path(), "begin_guest_path_query_batch"), ResortFixture::call_count(path(), "end_guest_path_query_batch"));
		take_errors();
	}
}

// Facilities and the guest as plain objects whose getters free one of them mid-call: the
// projection reaches each object again at every use; an object it still needs gone declines
// the call, and either way the batch it opened is closed.
class ProjectionGetterTest : public ProjectionTest {
protected:
	void expect_declined_closed(const Dictionary &p_answer, uint64_t p_freed) {
		EXPECT_EQ(key_texts(p_answer), std::vector<std::string>({ "supported" }));
		EXPECT_FALSE(bool(p_answer.get("supported", true)));
		expect_closed(p_freed);
	}
	void expect_closed(uint64_t p_freed) {
		EXPECT_EQ(ObjectDB::get_instance(p_freed), nullptr);
		EXPECT_EQ(ResortFixture::call_count(path(), "begin_guest_path_query_batch"), ResortFixture::call_count(path(), "end_guest_path_query_batch"));
		take_errors();
	}
};

// The facility goes before its row is made: the list read again for the rows holds no
// facility there, and none is projected.
TEST_F(ProjectionGetterTest, AGuestsCellGetterFreeingAFacility) {
	resort->use_plain_facilities(true);
	const uint64_t cafe = add_plain("cafe", Vector3i(4, 0, 0))->get_instance_id();
	add_plain("bar", Vector3i(8, 0, 0));
	free_in_getter(resort->guests().guest_script(), "current_cell", cafe);
	EXPECT_EQ(ids_of(candidates_of(project())), std::vector<std::string>({ "bar" }));
	expect_closed(cafe);
}

TEST_F(ProjectionGetterTest, AFacilitysOriginGetterFreeingTheGuestOrTheNextFacility) {
	resort->use_plain_facilities(true);
	resort->guests().use_plain_objects(true);
	const uint64_t guest = resort->guests().add_guest("g2", guest_values_at(GUEST_CELL))->get_instance_id();
	add_plain("bar", Vector3i(4, 0, 0));
	free_in_getter(resort->facility_script(), "origin", guest);
	expect_declined_closed(project("g2"), guest);

	const uint64_t next = add_plain("cafe", Vector3i(6, 0, 0))->get_instance_id();
	free_in_getter(resort->facility_script(), "origin", next);
	expect_declined_closed(project(), next);
}

TEST_F(ProjectionGetterTest, AFacilityFreeingItselfInItsDefinitionGetter) {
	resort->use_plain_facilities(true);
	const uint64_t cafe = add_plain("cafe", Vector3i(4, 0, 0))->get_instance_id();
	free_in_getter(resort->facility_script(), "definition_id", cafe);
	expect_declined_closed(project(), cafe);
}

} // namespace
} // namespace veltrin_test
