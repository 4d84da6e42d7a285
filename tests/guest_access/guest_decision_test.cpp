// One guest's whole decision: the projection's candidate rows go straight into the guest
// candidate batch, which rejects, scores and ranks them.

#include "access_test_base.hpp"

using namespace godot;

namespace veltrin_test {
namespace {

class GuestDecisionTest : public AccessTest {};

std::vector<std::string> texts_of(const Array &p_entries, const char *p_key) {
	std::vector<std::string> texts;
	for (int64_t i = 0; i < p_entries.size(); i++) {
		texts.push_back(String(Dictionary(p_entries[i]).get(p_key, Variant())).utf8().get_data());
	}
	return texts;
}

TEST_F(GuestDecisionTest, TheProjectedCandidatesAreRankedForTheGuest) {
	add_standard_facilities(*resort);
	const Dictionary projection = project("g1");
	ASSERT_TRUE(bool(projection.get("supported", false)));
	const Array candidates = projection.get("candidates", Variant());

	Dictionary context;
	context[StringName("absolute_minute")] = int64_t(600);
	const Dictionary decision = call("guest_candidate_batch", { resort->guests().service(), StringName("g1"), candidates, context });
	ASSERT_TRUE(bool(decision.get("supported", false)));
	EXPECT_EQ(texts_of(decision.get("ordered", Variant()), "facility_id"), std::vector<std::string>({ "cafe", "casino", "gate", "inn", "spa" }));
	const Array rejected = decision.get("rejected", Variant());
	EXPECT_EQ(texts_of(rejected, "facility_id"), std::vector<std::string>({ "casino" }));
	EXPECT_EQ(texts_of(rejected, "reason"), std::vector<std::string>({ "MISSING_INPUTS" }));

	// Worked by hand from the rows (needs 50 each, wallet 100, no preferences): the cafe and
	// the inn relieve hunger and sleep (priority 50), the spa and the gate relieve no such need.
	const Array ranked = decision.get("ranked", Variant());
	EXPECT_EQ(texts_of(ranked, "facility_id"), std::vector<std::string>({ "cafe", "inn", "spa", "gate" }));
	std::vector<int64_t> utilities;
	for (int64_t i = 0; i < ranked.size(); i++) {
		utilities.push_back(Dictionary(ranked[i]).get("utility", Variant()));
	}
	EXPECT_EQ(utilities, std::vector<int64_t>({ 403, 190, 352, 88 }));
	// The batch works on copies: the projection's rows are as they were.
	EXPECT_FALSE(Dictionary(candidates[0]).has("utility"));
}

} // namespace
} // namespace veltrin_test
