// The batch as a whole: result shape, the two orders, shared entries, ids, and the guarantee
// that the caller's dictionaries and the script objects are left as they were.

#include "guest_batch_test_base.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/script_double.hpp>

#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

using namespace godot;

namespace veltrin_test {
namespace {

// A nil stored in static memory: copying it reads no uninitialised bytes.
const Variant NIL_VALUE;

using Ids = std::vector<std::string>;

TEST_F(GuestBatchTest, EmptyOrNonDictionaryFacilitiesGiveFourEmptyTypedLists) {
	for (const Array &facilities : { Array(), array_of({ 5, "a", Array(), NIL_VALUE }) }) {
		const Dictionary result = batch(facilities);
		ASSERT_EQ(key_texts(result), (Ids { "supported", "ordered", "accepted", "rejected", "ranked" }));
		EXPECT_EQ(result.keys()[0].get_type(), Variant::STRING_NAME);
		EXPECT_TRUE(bool(result.get("supported", false)));
		for (const char *list : { "ordered", "accepted", "rejected", "ranked" }) {
			const Array entries = result.get(list, Variant());
			EXPECT_TRUE(entries.is_empty()) << list;
			EXPECT_EQ(entries.get_typed_builtin(), Variant::DICTIONARY) << list;
		}
	}
}

TEST_F(GuestBatchTest, FacilityOrderIsByCodePointAndRankOrderByScore) {
	// b is the most useful, then a9, then a10; B is closed.
	const Array facilities = array_of({
	        candidate("a9", { { "expected_quality", 50 } }),
	        candidate("b", { { "expected_quality", 90 } }),
	        candidate("B", { { "is_open", false } }),
	        candidate("a10", { { "expected_quality", 10 } }),
	});
	const Dictionary result = batch(facilities);
	EXPECT_EQ(ids_of(result.get("ordered", Variant())), (Ids { "B", "a10", "a9", "b" }));
	EXPECT_EQ(ids_of(result.get("accepted", Variant())), (Ids { "a10", "a9", "b" }));
	EXPECT_EQ(ids_of(result.get("rejected", Variant())), (Ids { "B" }));
	EXPECT_EQ(ids_of(result.get("ranked", Variant())), (Ids { "b", "a9", "a10" }));
}

TEST_F(GuestBatchTest, RankKeysAreNeedPriorityUtilityUrgencyTravelThenText) {
	// Same priority and utility: the urgency decides before anything else.
	Array facilities = array_of({
	        candidate("low_urgency", { { "urgency", 1 }, { "utility", 0 } }),
	        candidate("high_urgency", { { "urgency", 9 } }),
	});
	EXPECT_EQ(ids_of(batch(facilities).get("ranked", Variant())), (Ids { "high_urgency", "low_urgency" }));

	// Travel counts twice in the utility, so equal utilities need a compensating quality.
	// Travel 3 with quality +2 equals travel 0 with quality 0 (-6 + 6 = 0).
	facilities = array_of({
	        candidate("z_near", { { "travel_minutes", 0 } }),
	        candidate("far", { { "travel_minutes", 3 }, { "expected_quality", 2 } }),
	        candidate("a_near", { { "travel_minutes", 0 } }),
	});
	const Dictionary result = batch(facilities);
	ASSERT_EQ(ids_of(result.get("ranked", Variant())), (Ids { "a_near", "z_near", "far" }));
	const Array ranked = result.get("ranked", Variant());
	EXPECT_EQ(int64_t(Dictionary(ranked[0]).get("utility", 0)), int64_t(Dictionary(ranked[2]).get("utility", 1)));

	// A higher need priority outranks a much better utility.
	Dictionary relief;
	relief[StringName("hunger")] = 10;
	facilities = array_of({
	        candidate("fancy", { { "expected_quality", 100 } }),
	        candidate("food", { { "need_relief", relief } }),
	});
	EXPECT_EQ(ids_of(batch(facilities).get("ranked", Variant())), (Ids { "food", "fancy" }));
}

TEST_F(GuestBatchTest, AcceptedAndOrderedShareOneDictionaryAndRankedIsACopy) {
	const Dictionary original = candidate("spa", { { "expected_quality", 60 }, { "need_relief", Dictionary() } });
	const Dictionary before = original.duplicate(true);
	const Dictionary result = batch(array_of({ original }));
	const Array ordered = result.get("ordered", Variant());
	const Array accepted = result.get("accepted", Variant());
	const Array ranked = result.get("ranked", Variant());
	ASSERT_EQ(ordered.size(), 1);
	ASSERT_EQ(accepted.size(), 1);
	ASSERT_EQ(ranked.size(), 1);

	EXPECT_TRUE(UtilityFunctions::is_same(ordered[0], accepted[0]));
	EXPECT_FALSE(UtilityFunctions::is_same(ordered[0], ranked[0]));
	EXPECT_FALSE(UtilityFunctions::is_same(ordered[0], original));
	Dictionary shared = accepted[0];
	shared[StringName("marker")] = true;
	EXPECT_TRUE(Dictionary(ordered[0]).has("marker"));
	EXPECT_FALSE(Dictionary(ranked[0]).has("marker"));

	// The copies are deep: the nested map is not the caller's.
	EXPECT_FALSE(UtilityFunctions::is_same(Dictionary(ordered[0]).get("need_relief", Variant()), original.get("need_relief", Variant())));
	// The pre-evaluation copy carries no evaluation keys.
	EXPECT_EQ(key_texts(ordered[0]), (Ids { "facility_id", "expected_quality", "need_relief", "marker" }));
	EXPECT_TRUE(original == before);
	EXPECT_EQ(key_texts(original), key_texts(before));
}

TEST_F(GuestBatchTest, InstanceIdStandsInForAMissingFacilityIdOnly) {
	Dictionary by_instance;
	by_instance["instance_id"] = "inst_1";
	by_instance["expected_quality"] = 5;
	Dictionary no_id;
	no_id["expected_quality"] = 5;
	Dictionary empty_id;
	empty_id["facility_id"] = "";
	empty_id["instance_id"] = "inst_2";
	Dictionary empty_id_rejected = empty_id.duplicate();
	empty_id_rejected["is_open"] = false;
	const Dictionary by_instance_before = by_instance.duplicate(true);

	const Dictionary result = batch(array_of({ no_id, by_instance, empty_id, empty_id_rejected }));
	ASSERT_EQ(ids_of(result.get("ordered", Variant())), (Ids { "inst_1" }));
	EXPECT_EQ(ids_of(result.get("ranked", Variant())), (Ids { "inst_1" }));
	EXPECT_TRUE(Array(result.get("rejected", Variant())).is_empty());

	const Dictionary copy = Array(result.get("ordered", Variant()))[0];
	EXPECT_EQ(key_texts(copy), (Ids { "instance_id", "expected_quality", "facility_id" }));
	EXPECT_EQ(copy.get("facility_id", Variant()).get_type(), Variant::STRING_NAME);
	EXPECT_TRUE(by_instance == by_instance_before);
	EXPECT_FALSE(by_instance.has("facility_id"));
}

TEST_F(GuestBatchTest, RejectedEntriesHoldTheIdAndReasonAsStrings) {
	const Dictionary result = batch(array_of({ candidate("closed", { { "is_open", false } }) }));
	const Array rejected = result.get("rejected", Variant());
	ASSERT_EQ(rejected.size(), 1);
	const Dictionary entry = rejected[0];
	EXPECT_EQ(key_texts(entry), (Ids { "facility_id", "reason" }));
	EXPECT_EQ(entry.keys()[0].get_type(), Variant::STRING_NAME);
	EXPECT_EQ(entry.get("facility_id", Variant()).get_type(), Variant::STRING);
	EXPECT_EQ(entry.get("reason", Variant()).get_type(), Variant::STRING);
	EXPECT_EQ(text_of(entry.get("reason", Variant())), "FACILITY_CLOSED");
}

TEST_F(GuestBatchTest, OkFalseIsAcceptedButNotRanked) {
	const Dictionary result = batch(array_of({
	        candidate("bool_false", { { "ok", false } }),
	        candidate("int_zero", { { "ok", 0 } }),
	        candidate("int_two", { { "ok", 2 } }),
	}));
	EXPECT_EQ(ids_of(result.get("accepted", Variant())), (Ids { "bool_false", "int_two", "int_zero" }));
	EXPECT_EQ(ids_of(result.get("ranked", Variant())), (Ids { "int_two" }));
}

TEST_F(GuestBatchTest, StringAndStringNameKeysReadAlike) {
	Dictionary by_string;
	by_string["facility_id"] = "s";
	by_string["is_open"] = false;
	by_string["travel_minutes"] = 7;
	Dictionary by_name = candidate("n", { { "is_open", false }, { "travel_minutes", 7 } });
	Dictionary open_by_string = by_string.duplicate();
	open_by_string["facility_id"] = "t";
	open_by_string["is_open"] = true;

	const Dictionary result = batch(array_of({ by_string, by_name, open_by_string }));
	EXPECT_EQ(ids_of(result.get("rejected", Variant())), (Ids { "n", "s" }));
	const Array ranked = result.get("ranked", Variant());
	ASSERT_EQ(ranked.size(), 1);
	const Dictionary evaluated = ranked[0];
	EXPECT_EQ(int64_t(evaluated.get("travel_minutes", 0)), 7);
	// The candidate's own String key keeps its place and takes the new value.
	EXPECT_EQ(evaluated.keys()[0].get_type(), Variant::STRING);
	EXPECT_EQ(evaluated.get("facility_id", Variant()).get_type(), Variant::STRING_NAME);

	// The context is read under either form too.
	Dictionary context;
	context["wait_hard_limit"] = 5;
	EXPECT_EQ(reason_of(candidate("w", { { "expected_wait", 5 } }), context), "WAIT_HARD_LIMIT");
}

TEST_F(GuestBatchTest, NeedMapsAreCheckedPerRowWithoutDecliningTheBatch) {
	Dictionary bad_effects_map;
	bad_effects_map["thirst"] = 10;
	const Dictionary result = batch(array_of({
	        candidate("flat_relief", { { "need_relief", 40 } }),
	        candidate("int_effects", { { "need_effects", 40 } }),
	        candidate("bad_effects", { { "need_effects", bad_effects_map } }),
	        candidate("float_relief", { { "need_relief", 4.0 } }),
	}));
	ASSERT_FALSE(is_declined(result));
	EXPECT_EQ(ids_of(result.get("accepted", Variant())), (Ids { "flat_relief" }));
	const Array rejected = result.get("rejected", Variant());
	ASSERT_EQ(rejected.size(), 3);
	for (int64_t i = 0; i < rejected.size(); i++) {
		EXPECT_EQ(text_of(Dictionary(rejected[i]).get("reason", Variant())), "INVALID_NEED_MAP");
	}
}

TEST_F(GuestBatchTest, OnlyReadsAndTheTwoLookupsReachTheScripts) {
	GuestValues guest;
	guest.visited_facility_ids = array_of({ "spa" });
	guest.addiction_by_tag = dictionary_of({ { "gambling", 10 } });
	Object *guest_object = service->add_guest("g1", guest);
	const Dictionary guest_state = engine_double::script_state_snapshot(guest_object);
	const Dictionary service_state = engine_double::script_state_snapshot(service->service());
	Dictionary context = dictionary_of({ { "wait_hard_limit", 30 }, { "exit_reason", "done" } });
	const Dictionary context_before = context.duplicate(true);
	engine_double::call_log_clear();

	const Dictionary result = batch(array_of({ candidate("spa"), candidate("bar", { { "is_open", false } }) }), context);
	ASSERT_FALSE(is_declined(result));
	for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries()) {
		if (entry.kind == engine_double::CallLogKind::CALL) {
			EXPECT_TRUE(entry.name == StringName("get_guest") || entry.name == StringName("get_definition")) << entry.to_string();
		} else {
			EXPECT_EQ(entry.kind, engine_double::CallLogKind::GET) << entry.to_string();
		}
	}
	EXPECT_TRUE(engine_double::script_state_snapshot(guest_object) == guest_state);
	EXPECT_TRUE(engine_double::script_state_snapshot(service->service()) == service_state);
	EXPECT_TRUE(context == context_before);
}

TEST_F(GuestBatchTest, GuestValuesAreReadAgainForEveryRow) {
	const Dictionary result = batch(array_of({ candidate("a"), candidate("b"), candidate("c") }));
	ASSERT_FALSE(is_declined(result));
	int planned_exit_reads = 0;
	for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries()) {
		if (entry.kind == engine_double::CallLogKind::GET && entry.name == StringName("planned_exit_at")) {
			planned_exit_reads++;
		}
	}
	// Once by the type gate, then once per row.
	EXPECT_EQ(planned_exit_reads, 4);
}

} // namespace
} // namespace veltrin_test
