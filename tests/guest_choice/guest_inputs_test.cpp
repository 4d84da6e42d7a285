// The name tables, the script identity test and the input readers and checks, called
// directly.

#include "common/builtin.hpp"
#include "guest_access/projection_names.hpp"
#include "guest_choice/guest_batch_names.hpp"
#include "guest_choice/guest_candidate_facts.hpp"
#include "guest_choice/guest_candidate_supported.hpp"
#include "guest_choice/guest_evaluate.hpp"
#include "guest_choice/guest_name_lists.hpp"
#include "guest_choice/guest_need_map.hpp"

#include <engine_double/script_double.hpp>

#include <gtest/gtest.h>

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>

using namespace godot;

namespace veltrin {
namespace {

TEST(ProjectionNamesTest, HoldsOnlyItsInternedNames) {
	static_assert(sizeof(ProjectionNames) == 115 * sizeof(StringName), "one member per name");
	const ProjectionNames names;
	EXPECT_TRUE(names.ACCESS_LAYER_DENIED == StringName("ACCESS_LAYER_DENIED"));
	EXPECT_TRUE(names._build_guest_query_tree_compact == StringName("_build_guest_query_tree_compact"));
	EXPECT_TRUE(names.resource_path == StringName("resource_path"));
	EXPECT_TRUE(names.usable == StringName("usable"));
}

class BuiltinTest : public ::testing::Test {
protected:
	const StringName resource_path = "resource_path";

	Ref<RefCounted> instance_at(const String &p_path) {
		Ref<engine_double::ScriptDouble> script = engine_double::ScriptDouble::create(p_path);
		return script->instantiate();
	}
};

TEST_F(BuiltinTest, MatchesTheWholePathExactly) {
	const char *path = "res://scripts/world/path_service.gd";
	EXPECT_TRUE(builtin(resource_path, instance_at(path).ptr(), path));
	EXPECT_FALSE(builtin(resource_path, instance_at(path).ptr(), "res://scripts/world/path_service.gd "));
	EXPECT_FALSE(builtin(resource_path, instance_at(path).ptr(), "res://scripts/world/Path_service.gd"));
	EXPECT_FALSE(builtin(resource_path, instance_at("res://scripts/world/path_service.gdx").ptr(), path));
	EXPECT_FALSE(builtin(resource_path, instance_at("").ptr(), path));
}

TEST_F(BuiltinTest, NoObjectOrNoScriptIsNotBuiltin) {
	EXPECT_FALSE(builtin(resource_path, nullptr, "res://scripts/world/path_service.gd"));
	Ref<RefCounted> plain;
	plain.instantiate();
	EXPECT_FALSE(builtin(resource_path, plain.ptr(), ""));
}

class GuestInputsTest : public ::testing::Test {
protected:
	const GuestBatchNames names;
};

TEST_F(GuestInputsTest, TableStartsWithTheEmptyKey) {
	static_assert(sizeof(GuestBatchNames) == 99 * sizeof(GuestBatchKey), "one member per key");
	EXPECT_TRUE(names.empty.name.is_empty());
	EXPECT_TRUE(names.empty.text.is_empty());
	EXPECT_TRUE(names.ADULT_NOT_VERIFIED.text == String("ADULT_NOT_VERIFIED"));
	EXPECT_TRUE(names.wallet_gold.name == StringName("wallet_gold"));
}

TEST_F(GuestInputsTest, ReadersTakeEitherKeyForm) {
	Dictionary by_text;
	by_text["travel_minutes"] = 7;
	by_text["ok"] = 0;
	by_text["open"] = "";
	Dictionary by_name;
	by_name[StringName("travel_minutes")] = 7;
	for (const Dictionary &row : { by_text, by_name }) {
		EXPECT_TRUE(GuestBatchNames::has(row, names.travel_minutes));
		EXPECT_EQ(GuestBatchNames::integer(row, names.travel_minutes, 3), 7);
		EXPECT_FALSE(GuestBatchNames::has(row, names.expected_wait));
		EXPECT_EQ(GuestBatchNames::integer(row, names.expected_wait, 3), 3);
		EXPECT_EQ(GuestBatchNames::value(row, names.expected_wait, "x").get_type(), Variant::STRING);
	}
	EXPECT_FALSE(GuestBatchNames::flag(by_text, names.ok, true));
	EXPECT_FALSE(GuestBatchNames::flag(by_text, names.open, true));
	EXPECT_TRUE(GuestBatchNames::flag(by_text, names.reachable, true));
}

TEST_F(GuestInputsTest, NameListsAreDistinctNonEmptyAndInCodePointOrder) {
	const Array names_list = guest_names(Array::make("spa", StringName("bath"), "spa", "", "Zoo", "a10", "a9"));
	ASSERT_EQ(names_list.size(), 5);
	const char *expected[] = { "Zoo", "a10", "a9", "bath", "spa" };
	for (int64_t i = 0; i < names_list.size(); i++) {
		EXPECT_EQ(names_list[i].get_type(), Variant::STRING_NAME);
		EXPECT_TRUE(StringName(names_list[i]) == StringName(expected[i])) << i;
	}
	EXPECT_TRUE(guest_names(5).is_empty());
	EXPECT_TRUE(guest_names_supported(5));
	EXPECT_TRUE(guest_names_supported(Array()));
	EXPECT_FALSE(guest_names_supported(Array::make("a", 1)));
}

TEST_F(GuestInputsTest, NeedMapsNormaliseToNameKeys) {
	Dictionary map;
	map["hunger"] = 50;
	map[StringName("sleep")] = 20;
	Dictionary out;
	ASSERT_TRUE(guest_normalize_need(names, map, out));
	ASSERT_EQ(out.size(), 2);
	EXPECT_EQ(out.keys()[0].get_type(), Variant::STRING_NAME);
	EXPECT_EQ(int64_t(out.get(StringName("sleep"), 0)), 20);

	Dictionary empty_out;
	EXPECT_TRUE(guest_normalize_need(names, Dictionary(), empty_out));
	EXPECT_TRUE(empty_out.is_empty());

	Dictionary as_float;
	as_float["hunger"] = 50.0;
	Dictionary unknown;
	unknown["thirst"] = 5;
	Dictionary seven;
	for (const char *key : { "hunger", "sleep", "hygiene", "medical", "leisure", "intimacy", "thirst" }) {
		seven[key] = 1;
	}
	Dictionary int_key;
	int_key[1] = 1;
	for (const Variant &bad : { Variant(as_float), Variant(unknown), Variant(seven), Variant(int_key), Variant(4) }) {
		Dictionary bad_out;
		EXPECT_FALSE(guest_normalize_need(names, bad, bad_out));
	}
}

TEST_F(GuestInputsTest, PriceAndDiscretion) {
	Dictionary row;
	EXPECT_EQ(guest_price(names, row), 0);
	row["quoted_price"] = 50;
	row["price_gold"] = 30;
	EXPECT_EQ(guest_price(names, row), 30);
	row["estimated_total_gold"] = -5;
	EXPECT_EQ(guest_price(names, row), 0);

	Dictionary category;
	category["service_category"] = "tourism";
	EXPECT_TRUE(guest_discretionary(names, category));
	Dictionary tourism_tag;
	tourism_tag["tags"] = Array::make("tourism");
	EXPECT_FALSE(guest_discretionary(names, tourism_tag));
	Dictionary adult_tag;
	adult_tag["facility_tags"] = Array::make(StringName("adult"));
	EXPECT_TRUE(guest_discretionary(names, adult_tag));
	Dictionary adult_category;
	adult_category["service_category"] = "adult";
	EXPECT_FALSE(guest_discretionary(names, adult_category));
	Dictionary flagged;
	flagged["discretionary"] = 1;
	EXPECT_TRUE(guest_discretionary(names, flagged));
}

TEST_F(GuestInputsTest, CandidateTypeCheck) {
	const GuestCandidateKeyKinds kinds(names);
	Dictionary row;
	row["risk"] = 1.0;
	EXPECT_FALSE(guest_candidate_supported(kinds, row));
	row.clear();
	row["ok"] = 0;
	row["required_guest_tags"] = 3;
	row["need_relief"] = 2.5;
	row[5] = 2.5;
	EXPECT_TRUE(guest_candidate_supported(kinds, row));
	row["instance_id"] = StringName("i");
	row["service_category"] = Variant();
	EXPECT_FALSE(guest_candidate_supported(kinds, row));

	// Every checked key is found by its name, whatever the others hash to.
	const std::pair<const GuestBatchKey *, GuestCandidateKeyKind> samples[] = {
		{ &names.travel_minutes, GUEST_KEY_INTEGER },
		{ &names.urgency, GUEST_KEY_INTEGER },
		{ &names.ok, GUEST_KEY_SWITCH },
		{ &names.legal_permission_override, GUEST_KEY_SWITCH },
		{ &names.service_category, GUEST_KEY_TEXT },
		{ &names.tags, GUEST_KEY_NAME_LIST },
		{ &names.need_relief, GUEST_KEY_UNCHECKED },
		{ &names.utility, GUEST_KEY_UNCHECKED },
	};
	for (const auto &sample : samples) {
		EXPECT_EQ(guest_candidate_key_kind(kinds, sample.first->name), sample.second) << String(sample.first->text).utf8().get_data();
	}
}

TEST_F(GuestInputsTest, DefaultRiskSensitivityCountsEveryTwentyFiveBelow124) {
	// A tolerance below 0 never reaches the utility through the batch (the risk rule
	// refuses every row first), so it is checked here.
	const int64_t levels[GUEST_NEED_COUNT] = {};
	const std::vector<StringName> visited;
	GuestUtilityInputs inputs;
	inputs.need_levels = levels;
	inputs.visited = &visited;
	const std::pair<int64_t, int64_t> cases[] = { { -1, 5 }, { 124, 0 }, { 150, 0 }, { std::numeric_limits<int64_t>::min(), 368934881474191037 } };
	for (const auto &entry : cases) {
		GuestBatchRow row;
		row.facility_id = "r";
		row.candidate[names.facility_id.name] = row.facility_id;
		inputs.risk_tolerance = entry.first;
		guest_evaluate(names, row, inputs);
		const Dictionary terms = row.candidate.get(names.utility_terms.name, Dictionary());
		EXPECT_EQ(int64_t(terms.get(names.risk_sensitivity.name, -1)), entry.second) << entry.first;
	}
}

} // namespace
} // namespace veltrin
