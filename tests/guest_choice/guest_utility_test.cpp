// The utility of accepted rows: the eleven terms, the evaluated copy, and scores that
// saturate at the 64-bit bounds instead of wrapping.

#include "guest_batch_test_base.hpp"

#include <limits>

using namespace godot;

namespace veltrin_test {
namespace {

constexpr int64_t MAX = std::numeric_limits<int64_t>::max();
constexpr int64_t MIN = std::numeric_limits<int64_t>::min();

class GuestUtilityTest : public GuestBatchTest {
protected:
	// The evaluated copy of the single accepted row p_candidate.
	Dictionary evaluate(const Dictionary &p_candidate) {
		const Dictionary result = batch(array_of({ p_candidate }));
		const Array ranked = result.get("ranked", Array());
		EXPECT_EQ(ranked.size(), 1) << text_of(result);
		return ranked.is_empty() ? Dictionary() : Dictionary(ranked[0]);
	}
	int64_t utility_of(const Dictionary &p_candidate) {
		return evaluate(p_candidate).get("utility", MIN);
	}
	int64_t term_of(const Dictionary &p_candidate, const char *p_term) {
		const Dictionary terms = evaluate(p_candidate).get("utility_terms", Dictionary());
		return terms.get(p_term, MIN);
	}
};

Dictionary relief_of(const std::vector<std::pair<const char *, Variant>> &p_entries) {
	return dictionary_of(p_entries);
}

TEST_F(GuestUtilityTest, WorkedExampleGivesEveryTermAndUtility480) {
	GuestValues guest;
	guest.needs = guest_needs(60, 20, 10, 0, 50, 0);
	GuestDefinitionValues definition;
	definition.preference_weights = dictionary_of({ { "dining", 3 } });
	set_guest(guest, definition);

	const Dictionary row = candidate("diner", {
	                                                  { "need_relief", relief_of({ { "hunger", 80 }, { "leisure", 10 } }) },
	                                                  { "facility_tags", array_of({ "dining" }) },
	                                                  { "expected_quality", 70 },
	                                                  { "group_fit", 20 },
	                                                  { "estimated_total_gold", 30 },
	                                                  { "travel_minutes", 12 },
	                                                  { "expected_wait", 5 },
	                                          });
	const Dictionary evaluated = evaluate(row);
	EXPECT_EQ(key_texts(evaluated), (std::vector<std::string> { "facility_id", "need_relief", "facility_tags", "expected_quality", "group_fit", "estimated_total_gold", "travel_minutes", "expected_wait", "need_priority", "utility", "urgency", "utility_terms" }));
	EXPECT_EQ(int64_t(evaluated.get("need_priority", 0)), 60);
	EXPECT_EQ(int64_t(evaluated.get("utility", 0)), 480);
	EXPECT_EQ(int64_t(evaluated.get("urgency", 0)), 60);
	EXPECT_EQ(int64_t(evaluated.get("travel_minutes", 0)), 12);

	const Dictionary terms = evaluated.get("utility_terms", Dictionary());
	const std::vector<std::pair<const char *, int64_t>> expected = {
		{ "need_relief", 48 },
		{ "preference", 3 },
		{ "expected_quality", 70 },
		{ "novelty", 10 },
		{ "group_fit", 20 },
		{ "price_burden", 30 },
		{ "travel_minutes", 12 },
		{ "wait_minutes", 5 },
		{ "risk", 0 },
		{ "risk_sensitivity", 2 },
		{ "repetition_penalty", 0 },
	};
	ASSERT_EQ(terms.size(), int64_t(expected.size()));
	const Array keys = terms.keys();
	for (size_t i = 0; i < expected.size(); i++) {
		EXPECT_EQ(keys[int64_t(i)].get_type(), Variant::STRING_NAME);
		EXPECT_EQ(text_of(keys[int64_t(i)]), expected[i].first);
		EXPECT_EQ(int64_t(terms.get(expected[i].first, MIN)), expected[i].second) << expected[i].first;
	}
}

TEST_F(GuestUtilityTest, NeedReliefPriorityAndUrgency) {
	GuestValues guest;
	guest.needs = guest_needs(10, 20, 30, 70, 40, 50);
	set_guest(guest);

	Dictionary evaluated = evaluate(candidate("flat", { { "need_relief", 40 } }));
	EXPECT_EQ(term_of(candidate("flat", { { "need_relief", 40 } }), "need_relief"), 40);
	EXPECT_EQ(int64_t(evaluated.get("need_priority", -1)), 0);
	EXPECT_EQ(int64_t(evaluated.get("urgency", -1)), 0);
	EXPECT_EQ(term_of(candidate("flat", { { "need_relief", -5 } }), "need_relief"), 0);

	// Medical counts for the urgency only.
	evaluated = evaluate(candidate("clinic", { { "need_relief", relief_of({ { "medical", 90 } }) } }));
	EXPECT_EQ(int64_t(evaluated.get("need_priority", -1)), 0);
	EXPECT_EQ(int64_t(evaluated.get("urgency", -1)), 70);
	EXPECT_EQ(int64_t(Dictionary(evaluated.get("utility_terms", Dictionary())).get("need_relief", -1)), 63);

	// A percent of 0 counts for nothing; a negative one for neither relief nor urgency.
	evaluated = evaluate(candidate("bar", { { "need_relief", relief_of({ { "intimacy", 0 }, { "sleep", -50 }, { "leisure", 1 } }) } }));
	EXPECT_EQ(int64_t(evaluated.get("need_priority", -1)), 40);
	EXPECT_EQ(int64_t(evaluated.get("urgency", -1)), 40);
	EXPECT_EQ(int64_t(Dictionary(evaluated.get("utility_terms", Dictionary())).get("need_relief", -1)), 0);

	// A String-keyed map reads like a StringName-keyed one.
	Dictionary by_string;
	by_string["hunger"] = 50;
	EXPECT_EQ(term_of(candidate("cafe", { { "need_relief", by_string } }), "need_relief"), 5);
}

TEST_F(GuestUtilityTest, OwnRankKeysAreReplacedButOwnUrgencyIsKept) {
	const Dictionary evaluated = evaluate(candidate("r", { { "need_priority", 99 }, { "utility", 99 }, { "urgency", 7 }, { "travel_minutes", -4 } }));
	EXPECT_EQ(key_texts(evaluated), (std::vector<std::string> { "facility_id", "need_priority", "utility", "urgency", "travel_minutes", "utility_terms" }));
	EXPECT_EQ(int64_t(evaluated.get("need_priority", -1)), 0);
	EXPECT_NE(int64_t(evaluated.get("utility", 99)), 99);
	EXPECT_EQ(int64_t(evaluated.get("urgency", -1)), 7);
	EXPECT_EQ(int64_t(evaluated.get("travel_minutes", -1)), 0);
}

TEST_F(GuestUtilityTest, PreferenceIsSummedOverDistinctTags) {
	GuestDefinitionValues definition;
	definition.preference_weights = dictionary_of({ { "dining", 3 }, { "bar", -2 } });
	set_guest(GuestValues(), definition);
	EXPECT_EQ(term_of(candidate("r", { { "facility_tags", array_of({ "dining", StringName("dining"), "bar", "spa" }) } }), "preference"), 1);
	EXPECT_EQ(term_of(candidate("r", { { "tags", array_of({ "dining" }) } }), "preference"), 3);
	EXPECT_EQ(term_of(candidate("r", { { "tags", array_of({ "dining" }) }, { "preference", -9 } }), "preference"), -9);
}

TEST_F(GuestUtilityTest, VisitedFacilitiesLoseThirtyPoints) {
	const int64_t fresh = utility_of(candidate("spa"));
	GuestValues guest;
	guest.visited_facility_ids = array_of({ "pool", "spa" });
	set_guest(guest);
	EXPECT_EQ(utility_of(candidate("spa")), fresh - 30);
	EXPECT_EQ(term_of(candidate("spa"), "novelty"), 0);
	EXPECT_EQ(term_of(candidate("spa"), "repetition_penalty"), 10);
	EXPECT_EQ(term_of(candidate("spa", { { "novelty", 4 }, { "repetition_penalty", 1 } }), "repetition_penalty"), 1);
	EXPECT_EQ(utility_of(candidate("spa", { { "novelty", 4 }, { "repetition_penalty", 1 } })), fresh - 12 - 1);
}

TEST_F(GuestUtilityTest, PriceBurdenIsAPercentOfTheBudgetRoundedUp) {
	GuestValues guest;
	guest.wallet_gold = 0;
	guest.credit_limit_gold = 1;
	set_guest(guest);
	// Budget 1: anything above nothing is the whole budget.
	EXPECT_EQ(term_of(candidate("r", { { "price_gold", 1 }, { "credit_allowed", true } }), "price_burden"), 100);
	EXPECT_EQ(term_of(candidate("r", { { "price_gold", 0 } }), "price_burden"), 0);

	guest.wallet_gold = 300;
	guest.credit_limit_gold = 0;
	set_guest(guest);
	EXPECT_EQ(term_of(candidate("r", { { "price_gold", 1 } }), "price_burden"), 1);
	EXPECT_EQ(term_of(candidate("r", { { "price_gold", 3 } }), "price_burden"), 1);
	EXPECT_EQ(term_of(candidate("r", { { "price_gold", 4 } }), "price_burden"), 2);
	EXPECT_EQ(term_of(candidate("r", { { "price_gold", 4 }, { "price_burden", -7 } }), "price_burden"), -7);
}

TEST_F(GuestUtilityTest, RiskSensitivityFollowsTolerance) {
	GuestDefinitionValues definition;
	definition.risk_tolerance = 124;
	set_guest(GuestValues(), definition);
	EXPECT_EQ(term_of(candidate("r", { { "risk", 20 } }), "risk_sensitivity"), 0);
	definition.risk_tolerance = 150;
	set_guest(GuestValues(), definition);
	EXPECT_EQ(term_of(candidate("r", { { "risk", 20 } }), "risk_sensitivity"), 0);
	definition.risk_tolerance = 0;
	set_guest(GuestValues(), definition);
	EXPECT_EQ(term_of(candidate("r"), "risk_sensitivity"), 4);

	// Risk is read from risk before risk_level here; S * R costs utility.
	definition.risk_tolerance = 100;
	set_guest(GuestValues(), definition);
	const int64_t calm = utility_of(candidate("r"));
	EXPECT_EQ(term_of(candidate("r", { { "risk", 30 }, { "risk_level", 5 } }), "risk"), 30);
	EXPECT_EQ(utility_of(candidate("r", { { "risk", 30 }, { "risk_sensitivity", 3 } })), calm - 90);
	EXPECT_EQ(utility_of(candidate("r", { { "risk", 30 }, { "risk_sensitivity", -3 } })), calm);
}

TEST_F(GuestUtilityTest, QualityAndWaitAreWeightedThree) {
	const int64_t base = utility_of(candidate("r"));
	EXPECT_EQ(utility_of(candidate("r", { { "expected_quality", -10 } })), base - 30);
	EXPECT_EQ(utility_of(candidate("r", { { "quality", 10 }, { "wait_minutes", 4 } })), base + 30 - 12);
	EXPECT_EQ(utility_of(candidate("r", { { "expected_wait", -4 } })), base);
	EXPECT_EQ(utility_of(candidate("r", { { "group_fit", 5 }, { "travel_minutes", 2 } })), base + 10 - 4);
}

TEST_F(GuestUtilityTest, ScoresSaturateInsteadOfWrapping) {
	GuestValues guest;
	guest.needs = guest_needs(MAX, 0, 0, 0, 0, 0);
	guest.credit_limit_gold = MAX;
	GuestDefinitionValues definition;
	definition.risk_tolerance = 100;
	definition.preference_weights = dictionary_of({ { "a", MAX }, { "b", MAX } });
	set_guest(guest, definition);

	// percent * level is far past 64 bits.
	Dictionary evaluated = evaluate(candidate("r", { { "need_relief", relief_of({ { "hunger", MAX } }) } }));
	EXPECT_EQ(int64_t(Dictionary(evaluated.get("utility_terms", Dictionary())).get("need_relief", 0)), MAX);
	EXPECT_EQ(int64_t(evaluated.get("utility", 0)), MAX);
	EXPECT_EQ(int64_t(evaluated.get("need_priority", 0)), MAX);

	// price * 100 past 64 bits still gives the whole budget.
	evaluated = evaluate(candidate("r", { { "estimated_total_gold", MAX }, { "credit_allowed", true } }));
	EXPECT_EQ(int64_t(Dictionary(evaluated.get("utility_terms", Dictionary())).get("price_burden", 0)), 100);

	// S * R far below -2^63.
	EXPECT_EQ(utility_of(candidate("r", { { "risk", MAX }, { "risk_level", 0 }, { "risk_sensitivity", MAX } })), MIN);
	// The preference sum and the weighted sum.
	EXPECT_EQ(term_of(candidate("r", { { "tags", array_of({ "a", "b" }) } }), "preference"), MAX);
	EXPECT_EQ(utility_of(candidate("r", { { "preference", MAX }, { "price_burden", MIN } })), MAX);
	EXPECT_EQ(utility_of(candidate("r", { { "preference", MIN }, { "price_burden", MAX } })), MIN);
	EXPECT_EQ(utility_of(candidate("r", { { "group_fit", MIN }, { "novelty", MIN } })), MIN);
}

} // namespace
} // namespace veltrin_test
