#include "oracle/case_generation.hpp"
#include "oracle/case_line.hpp"
#include "oracle/record_text.hpp"
#include "oracle/search_records.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace veltrin_oracle;

namespace {

TEST(RecordText, VecWritesEveryValueWithATrailingComma) {
	std::string text = "x";
	vec(text, {});
	EXPECT_EQ(text, "x");
	vec(text, { 4, 7 });
	EXPECT_EQ(text, "x4,7,");
	text.clear();
	vec(text, { -1, 0, std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min() });
	EXPECT_EQ(text, "-1,0,9223372036854775807,-9223372036854775808,");
}

TEST(RecordText, FirstCaseLineMatchesItsKnownBytes) {
	const std::vector<SearchCase> cases = exhaustive_cases();
	ASSERT_FALSE(cases.empty());
	const SearchCase &first = cases.front();
	const std::string record = "usable|0,9223372036854775807,9223372036854775807,|-1,-1,-1,|0,||0,|";
	EXPECT_EQ(reference_record(first), record);
	EXPECT_EQ(candidate_record(first), record);
	EXPECT_EQ(case_line(0, first, reference_record(first), candidate_record(first)),
	        "0\t3,0::///\t" + record + "\t" + record + "\n");
}

TEST(RecordText, CaseLineWritesEdgesPerNodeAndNegativeNumbers) {
	SearchCase search_case;
	search_case.node_count = 3;
	search_case.start = -1;
	search_case.goals = { 2, -1 };
	search_case.edges = { { { 1, 5 }, { -1, 0 } }, {}, { { 3, -7 } } };
	EXPECT_EQ(case_line(12345, search_case, "a", "b"), "12345\t3,-1:2,-1,:1,5;-1,0;//3,-7;/\ta\tb\n");
}

// Both searches on the hand-made cases, whose records are known in full.
TEST(RecordText, FixedCasesRenderTheirKnownRecordsInBothSearches) {
	const std::vector<SearchCase> cases = fixed_cases();
	const std::string expected[] = {
		"usable|0,9223372036854775807,9223372036854775807,|-1,-1,-1,|0,||0,|0,",
		"usable|0,1,1,3,|-1,0,0,1,|0,2,1,3,|2,1,3,|0,1,2,3,|0,1,2,3,",
		"unusable||||||",
		"unusable||||||",
	};
	for (size_t i = 0; i < cases.size(); i++) {
		EXPECT_EQ(reference_record(cases[i]), expected[i]) << "fixed case " << i;
		EXPECT_EQ(candidate_record(cases[i]), expected[i]) << "fixed case " << i;
	}
}

std::vector<int64_t> call_log_of(const std::string &p_record) {
	std::vector<int64_t> calls;
	size_t at = p_record.rfind('|') + 1;
	while (at < p_record.size()) {
		const size_t comma = p_record.find(',', at);
		calls.push_back(std::stoll(p_record.substr(at, comma - at)));
		at = comma + 1;
	}
	return calls;
}

// Cases whose every cost is -1 or 0 turn "unusable" exactly when a node with
// an edge is expanded; without goals nothing is looked up at all.
TEST(RecordText, BadCostCasesAreUnusableOnceAnEdgeIsExpanded) {
	const std::vector<SearchCase> cases = random_cases();
	int unusable_seen = 0;
	int goalless_seen = 0;
	for (size_t number = 0; number < cases.size(); number++) {
		if (number % 31 == 0 || (number % 29 != 0 && number % 23 != 0)) {
			continue;
		}
		const SearchCase &search_case = cases[number];
		const std::string record = reference_record(search_case);
		EXPECT_EQ(candidate_record(search_case), record);
		if (search_case.start < 0 || search_case.start >= search_case.node_count) {
			continue;
		}
		bool expanded_an_edge = false;
		for (const int64_t node : call_log_of(record)) {
			expanded_an_edge = expanded_an_edge || !search_case.edges[static_cast<size_t>(node)].empty();
		}
		EXPECT_EQ(record.rfind("unusable|", 0) == 0, expanded_an_edge) << record;
		unusable_seen += expanded_an_edge;
		if (search_case.goals.empty()) {
			goalless_seen++;
			EXPECT_EQ(record.rfind("usable|", 0), 0u);
			EXPECT_TRUE(call_log_of(record).empty());
		}
	}
	EXPECT_GT(unusable_seen, 50);
	EXPECT_GT(goalless_seen, 5);
}

} // namespace
