// The rejection rules, one boundary at a time, and their order when several apply.

#include "guest_batch_test_base.hpp"

#include <limits>

using namespace godot;

namespace veltrin_test {
namespace {

constexpr int64_t MAX = std::numeric_limits<int64_t>::max();
constexpr int64_t MIN = std::numeric_limits<int64_t>::min();

using GuestRulesTest = GuestBatchTest;

TEST_F(GuestRulesTest, ABareRowIsAcceptedByAnOrdinaryGuest) {
	EXPECT_EQ(reason_of(candidate("bare")), "");
}

TEST_F(GuestRulesTest, RuleOrderWhenSeveralApply) {
	// Each row breaks its own rule and every later one it can.
	const std::vector<std::pair<const char *, Variant>> breaks_all = {
		{ "need_effects", 5 },
		{ "inputs_available", false },
		{ "adult_only", true },
		{ "required_guest_tags", array_of({ "vip" }) },
		{ "allowed_guest_types", array_of({ "staff" }) },
		{ "is_open", false },
		{ "reachable", false },
		{ "travel_minutes", 100000 },
		{ "estimated_total_gold", 100000 },
		{ "expected_wait", 100000 },
		{ "risk_level", 100 },
		{ "illegal_level", 100 },
		{ "minimum_quality", 100 },
	};
	GuestDefinitionValues definition;
	definition.adult_verified = false;
	set_guest(GuestValues(), definition);
	const Dictionary context = dictionary_of({ { "adult_content_enabled", false } });
	const std::vector<std::string> expected = {
		"INVALID_NEED_MAP",
		"MISSING_INPUTS",
		"ADULT_NOT_VERIFIED",
		"MISSING_PERMISSION",
		"GUEST_TYPE_NOT_ALLOWED",
		"FACILITY_CLOSED",
		"UNREACHABLE",
		"ETA_AFTER_EXIT",
		"CANNOT_PAY",
		"WAIT_HARD_LIMIT",
		"RISK_REFUSED",
		"ILLEGALITY_REFUSED",
		"QUALITY_TOO_LOW",
	};
	for (size_t skip = 0; skip < breaks_all.size(); skip++) {
		std::vector<std::pair<const char *, Variant>> entries(breaks_all.begin() + long(skip), breaks_all.end());
		EXPECT_EQ(reason_of(candidate("row", entries), context), expected[skip]) << skip;
	}
}

TEST_F(GuestRulesTest, AdultGate) {
	GuestDefinitionValues definition;
	definition.adult_verified = false;
	set_guest(GuestValues(), definition);
	EXPECT_EQ(reason_of(candidate("r", { { "requires_adult_verified", true } })), "ADULT_NOT_VERIFIED");
	EXPECT_EQ(reason_of(candidate("r", { { "adult_only", 0 }, { "requires_adult_verified", true } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "adult_only", 1 } }), dictionary_of({ { "adult_content_enabled", false } })), "ADULT_NOT_VERIFIED");

	set_guest(GuestValues());
	const Dictionary gated = candidate("r", { { "adult_only", true } });
	EXPECT_EQ(reason_of(gated), "");
	EXPECT_EQ(reason_of(gated, dictionary_of({ { "adult_content_enabled", 0 } })), "CONTENT_FILTERED");
	EXPECT_EQ(reason_of(gated, dictionary_of({ { "adult_content_enabled", 2 } })), "");
	EXPECT_EQ(reason_of(candidate("r"), dictionary_of({ { "adult_content_enabled", false } })), "");
}

TEST_F(GuestRulesTest, TagRules) {
	GuestDefinitionValues definition;
	definition.tags = array_of({ "vip", StringName("smoker") });
	set_guest(GuestValues(), definition);
	EXPECT_EQ(reason_of(candidate("r", { { "required_guest_tags", array_of({ StringName("vip"), "smoker" }) } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "required_guest_tags", array_of({ "vip", "member" }) } })), "MISSING_PERMISSION");
	EXPECT_EQ(reason_of(candidate("r", { { "forbidden_guest_tags", array_of({ "child", "smoker" }) } })), "FORBIDDEN_GUEST_TAG");
	EXPECT_EQ(reason_of(candidate("r", { { "forbidden_guest_tags", array_of({ "child" }) } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "allowed_guest_types", Array() } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "allowed_guest_types", array_of({ "staff", "tourist" }) } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "allowed_guest_types", array_of({ "staff", "" }) } })), "GUEST_TYPE_NOT_ALLOWED");
}

TEST_F(GuestRulesTest, OpenAndReachable) {
	EXPECT_EQ(reason_of(candidate("r", { { "is_open", false }, { "open", true } })), "FACILITY_CLOSED");
	EXPECT_EQ(reason_of(candidate("r", { { "open", false } })), "FACILITY_CLOSED");
	EXPECT_EQ(reason_of(candidate("r", { { "open", 0 }, { "open_at_arrival", true } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "is_open", false }, { "open_at_arrival", 1 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "reachable", 0 } })), "UNREACHABLE");
}

TEST_F(GuestRulesTest, ArrivalAgainstPlannedExit) {
	GuestValues guest;
	guest.planned_exit_at = 130;
	set_guest(guest);
	const Dictionary now = dictionary_of({ { "absolute_minute", 100 } });
	EXPECT_EQ(reason_of(candidate("r", { { "travel_minutes", 30 } }), now), "");
	EXPECT_EQ(reason_of(candidate("r", { { "travel_minutes", 31 } }), now), "ETA_AFTER_EXIT");
	EXPECT_EQ(reason_of(candidate("r", { { "travel_minutes", -500 } }), dictionary_of({ { "absolute_minute", 131 } })), "ETA_AFTER_EXIT");
	EXPECT_EQ(reason_of(candidate("r", { { "travel_minutes", MAX } }), dictionary_of({ { "absolute_minute", -1 } })), "");

	// Without absolute_minute the service's current minute (100) is now.
	EXPECT_EQ(reason_of(candidate("r", { { "travel_minutes", 30 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "travel_minutes", 31 } })), "ETA_AFTER_EXIT");

	// A sum past 2^63 is late, not wrapped into the past.
	guest.planned_exit_at = MAX;
	set_guest(guest);
	EXPECT_EQ(reason_of(candidate("r", { { "travel_minutes", MAX } }), now), "ETA_AFTER_EXIT");
	EXPECT_EQ(reason_of(candidate("r", { { "travel_minutes", 1 } }), dictionary_of({ { "absolute_minute", MAX } })), "ETA_AFTER_EXIT");
	EXPECT_EQ(reason_of(candidate("r", { { "travel_minutes", 0 } }), dictionary_of({ { "absolute_minute", MAX } })), "");
}

TEST_F(GuestRulesTest, PaymentWithWalletReserveAndCredit) {
	GuestValues guest;
	guest.wallet_gold = 40;
	guest.addiction_by_tag = dictionary_of({ { "gambling", 80 } });
	set_guest(guest);
	EXPECT_EQ(reason_of(candidate("r", { { "estimated_total_gold", 50 } })), "CANNOT_PAY");
	EXPECT_EQ(reason_of(candidate("r", { { "estimated_total_gold", 40 } })), "");

	guest.credit_limit_gold = 30;
	guest.debt_gold = 20;
	set_guest(guest);
	EXPECT_EQ(reason_of(candidate("r", { { "estimated_total_gold", 50 }, { "credit_allowed", true } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "estimated_total_gold", 51 }, { "allow_credit", 1 } })), "CANNOT_PAY");
	EXPECT_EQ(reason_of(candidate("r", { { "estimated_total_gold", 50 } })), "CANNOT_PAY");
	EXPECT_EQ(reason_of(candidate("r", { { "estimated_total_gold", 50 }, { "credit_allowed", false }, { "allow_credit", true } })), "CANNOT_PAY");

	// Debt above the limit leaves no credit rather than a negative one.
	guest.credit_limit_gold = 10;
	guest.debt_gold = 50;
	set_guest(guest);
	EXPECT_EQ(reason_of(candidate("r", { { "estimated_total_gold", 41 }, { "credit_allowed", true } })), "CANNOT_PAY");

	// A negative wallet cannot even pay a free row that ignores the reserve.
	guest = GuestValues();
	guest.wallet_gold = -5;
	set_guest(guest);
	EXPECT_EQ(reason_of(candidate("r", { { "respect_survival_reserve", false } })), "CANNOT_PAY");
	EXPECT_EQ(reason_of(candidate("r", { { "respect_survival_reserve", true } })), "");
}

TEST_F(GuestRulesTest, DiscretionaryRowsKeepTheSurvivalReserve) {
	// Wallet 100, no tags: the reserve is 30, so 70 is spendable at a gambling table.
	const Dictionary gambling = candidate("r", { { "service_category", "gambling" }, { "estimated_total_gold", 80 } });
	EXPECT_EQ(reason_of(gambling), "CANNOT_PAY");
	Dictionary ignoring = gambling.duplicate();
	ignoring[StringName("respect_survival_reserve")] = false;
	EXPECT_EQ(reason_of(ignoring), "");
	EXPECT_EQ(reason_of(candidate("r", { { "service_category", "gambling" }, { "estimated_total_gold", 70 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "service_category", "food" }, { "estimated_total_gold", 80 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "discretionary", 1 }, { "price_gold", 71 } })), "CANNOT_PAY");
	EXPECT_EQ(reason_of(candidate("r", { { "service_category", StringName("tourism") }, { "quoted_price", 71 } })), "CANNOT_PAY");
	EXPECT_EQ(reason_of(candidate("r", { { "facility_tags", array_of({ "adult" }) }, { "quoted_price", 71 } })), "CANNOT_PAY");
	EXPECT_EQ(reason_of(candidate("r", { { "tags", array_of({ "tourism" }) }, { "quoted_price", 71 } })), "");
	// facility_tags wins over tags.
	EXPECT_EQ(reason_of(candidate("r", { { "facility_tags", Array() }, { "tags", array_of({ "leisure" }) }, { "quoted_price", 71 } })), "");
}

TEST_F(GuestRulesTest, ReserveFollowsAddictionAndSpendingTags) {
	const Dictionary row = candidate("r", { { "service_category", "gambling" }, { "estimated_total_gold", 91 } });
	GuestValues guest;
	GuestDefinitionValues definition;
	definition.tags = array_of({ "frugal", "spendthrift" });
	// Spendthrift wins: the reserve is 10, 90 spendable.
	set_guest(guest, definition);
	EXPECT_EQ(reason_of(row), "CANNOT_PAY");
	EXPECT_EQ(reason_of(candidate("r", { { "service_category", "gambling" }, { "estimated_total_gold", 90 } })), "");

	definition.tags = array_of({ "frugal" });
	set_guest(guest, definition);
	EXPECT_EQ(reason_of(candidate("r", { { "service_category", "gambling" }, { "estimated_total_gold", 51 } })), "CANNOT_PAY");
	EXPECT_EQ(reason_of(candidate("r", { { "service_category", "gambling" }, { "estimated_total_gold", 50 } })), "");

	// Addiction 74 keeps the frugal reserve; 75 drops it.
	guest.addiction_by_tag = dictionary_of({ { "gambling", 74 }, { "drink", -200 } });
	set_guest(guest, definition);
	EXPECT_EQ(reason_of(candidate("r", { { "service_category", "gambling" }, { "estimated_total_gold", 51 } })), "CANNOT_PAY");
	guest.addiction_by_tag = dictionary_of({ { "gambling", 75 } });
	set_guest(guest, definition);
	EXPECT_EQ(reason_of(candidate("r", { { "service_category", "gambling" }, { "estimated_total_gold", 100 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "service_category", "gambling" }, { "estimated_total_gold", 101 } })), "CANNOT_PAY");
}

TEST_F(GuestRulesTest, PaymentIsExactForExtremeValues) {
	// Three tenths of the largest wallet, without wrapping wallet * 3.
	const int64_t reserve = 2767011611056432742;
	GuestValues guest;
	guest.wallet_gold = MAX;
	set_guest(guest);
	EXPECT_EQ(reason_of(candidate("r", { { "discretionary", true }, { "estimated_total_gold", MAX - reserve } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "discretionary", true }, { "estimated_total_gold", MAX - reserve + 1 } })), "CANNOT_PAY");

	// The shortfall MAX - MIN and the credit MAX - MIN both exceed 64 bits.
	guest = GuestValues();
	guest.wallet_gold = MIN;
	guest.credit_limit_gold = MAX;
	guest.debt_gold = MIN;
	set_guest(guest);
	const Dictionary row = candidate("r", { { "respect_survival_reserve", false }, { "estimated_total_gold", MAX }, { "credit_allowed", true } });
	EXPECT_EQ(reason_of(row), "");
	guest.debt_gold = MIN + 1;
	set_guest(guest);
	EXPECT_EQ(reason_of(row), "CANNOT_PAY");
}

TEST_F(GuestRulesTest, WaitLimit) {
	EXPECT_EQ(reason_of(candidate("r", { { "expected_wait", 119 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "expected_wait", 120 } })), "WAIT_HARD_LIMIT");
	EXPECT_EQ(reason_of(candidate("r", { { "wait_minutes", 5 }, { "expected_wait", 500 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "expected_wait", 500 }, { "wait_hard_limit", 501 } }), dictionary_of({ { "wait_hard_limit", 10 } })), "");
	// A context limit of 0 refuses every row without a limit of its own, even with no wait.
	EXPECT_EQ(reason_of(candidate("r"), dictionary_of({ { "wait_hard_limit", 0 } })), "WAIT_HARD_LIMIT");
	EXPECT_EQ(reason_of(candidate("r", { { "expected_wait", -9 }, { "wait_hard_limit", 1 } })), "");
}

TEST_F(GuestRulesTest, RiskAndIllegality) {
	GuestDefinitionValues definition;
	definition.risk_tolerance = 100;
	definition.legal_sensitivity = 70;
	set_guest(GuestValues(), definition);
	EXPECT_EQ(reason_of(candidate("r", { { "risk_level", 150 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "risk_level", 10 }, { "risk", 900 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "illegal_level", 30 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "illegal_level", 31 } })), "ILLEGALITY_REFUSED");
	EXPECT_EQ(reason_of(candidate("r", { { "illegal_level", 31 }, { "legal_permission_override", true } })), "");

	definition.risk_tolerance = 99;
	definition.legal_sensitivity = 71;
	set_guest(GuestValues(), definition);
	EXPECT_EQ(reason_of(candidate("r", { { "risk", 100 } })), "RISK_REFUSED");
	EXPECT_EQ(reason_of(candidate("r", { { "risk", 99 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "illegal_level", 30 } })), "ILLEGALITY_REFUSED");

	// 100 - sensitivity is formed without overflow at both ends.
	definition.legal_sensitivity = MIN;
	set_guest(GuestValues(), definition);
	EXPECT_EQ(reason_of(candidate("r", { { "illegal_level", MAX } })), "");
	definition.legal_sensitivity = MAX;
	set_guest(GuestValues(), definition);
	EXPECT_EQ(reason_of(candidate("r", { { "illegal_level", MIN } })), "ILLEGALITY_REFUSED");
}

TEST_F(GuestRulesTest, QualityFloor) {
	EXPECT_EQ(reason_of(candidate("r", { { "expected_quality", 40 }, { "minimum_quality", 40 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "expected_quality", 39 }, { "minimum_quality", 40 } })), "QUALITY_TOO_LOW");
	EXPECT_EQ(reason_of(candidate("r", { { "expected_quality", 100 }, { "minimum_quality", 120 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "expected_quality", 10 }, { "quality", 90 }, { "minimum_quality", 50 } })), "QUALITY_TOO_LOW");

	GuestDefinitionValues definition;
	definition.minimum_quality = 60;
	set_guest(GuestValues(), definition);
	EXPECT_EQ(reason_of(candidate("r", { { "quality", 59 } })), "QUALITY_TOO_LOW");
	EXPECT_EQ(reason_of(candidate("r", { { "quality", 60 } })), "");
	EXPECT_EQ(reason_of(candidate("r", { { "quality", 0 }, { "minimum_quality", -5 } })), "");
}

} // namespace
} // namespace veltrin_test
