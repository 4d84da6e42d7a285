#include "oracle/case_generation.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

using namespace veltrin_oracle;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

constexpr int64_t MAX_COST = std::numeric_limits<int64_t>::max();

std::vector<std::pair<int64_t, int64_t>> pairs_of(const std::vector<GraphEdge> &p_edges) {
	std::vector<std::pair<int64_t, int64_t>> pairs;
	for (const GraphEdge &edge : p_edges) {
		pairs.emplace_back(edge.target, edge.cost);
	}
	return pairs;
}

using Pair = std::pair<int64_t, int64_t>;

TEST(CaseGeneration, PhasesHaveTheirSizesAndOrder) {
	const std::vector<SearchCase> cases = all_cases();
	ASSERT_EQ(cases.size(), 16388u);
	EXPECT_EQ(exhaustive_cases().size(), 12288u);
	EXPECT_EQ(random_cases().size(), 4096u);
	// The random phase follows the exhaustive one, the fixed cases come last.
	EXPECT_EQ(cases[12288].node_count, 11);
	EXPECT_EQ(cases[16386].node_count, 0);
}

TEST(CaseGeneration, ExhaustiveLoopsMaskThenStartThenGoalMask) {
	const std::vector<SearchCase> cases = exhaustive_cases();
	ASSERT_EQ(cases.size(), 12288u);
	const SearchCase &first = cases[0];
	EXPECT_EQ(first.node_count, 3);
	EXPECT_EQ(first.start, 0);
	EXPECT_THAT(first.goals, IsEmpty());
	ASSERT_EQ(first.edges.size(), 3u);
	EXPECT_THAT(first.edges, ElementsAre(IsEmpty(), IsEmpty(), IsEmpty()));

	// Mask 0b100100110 = 294: bits 1, 2, 5, 8 -> 0->1, 0->2, 1->2, 2->2.
	// Start 2, goal mask 0b101 -> goals 0 and 2.
	const SearchCase &picked = cases[294 * 24 + 2 * 8 + 5];
	EXPECT_EQ(picked.start, 2);
	EXPECT_THAT(picked.goals, ElementsAre(0, 2));
	EXPECT_THAT(pairs_of(picked.edges[0]), ElementsAre(Pair(1, 1), Pair(2, 1)));
	EXPECT_THAT(pairs_of(picked.edges[1]), ElementsAre(Pair(2, 1)));
	EXPECT_THAT(pairs_of(picked.edges[2]), ElementsAre(Pair(2, 1)));

	const SearchCase &last = cases.back();
	EXPECT_EQ(last.start, 2);
	EXPECT_THAT(last.goals, ElementsAre(0, 1, 2));
	EXPECT_THAT(pairs_of(last.edges[1]), ElementsAre(Pair(0, 1), Pair(1, 1), Pair(2, 1)));
}

TEST(CaseGeneration, FirstRandomCasesFollowTheSeededDraws) {
	const std::vector<SearchCase> cases = random_cases();
	ASSERT_EQ(cases.size(), 4096u);
	const SearchCase &first = cases[0];
	EXPECT_EQ(first.node_count, 11);
	EXPECT_EQ(first.start, 4);
	EXPECT_THAT(first.goals, ElementsAre(2));
	ASSERT_EQ(first.edges.size(), 11u);
	EXPECT_THAT(pairs_of(first.edges[0]), ElementsAre(Pair(3, MAX_COST), Pair(2, MAX_COST), Pair(6, MAX_COST)));

	const SearchCase &second = cases[1];
	EXPECT_EQ(second.node_count, 13);
	EXPECT_EQ(second.start, 4);
	EXPECT_THAT(second.goals, ElementsAre(3, 8, 3, 13, 1, 10, 7));
}

TEST(CaseGeneration, RandomCasesStayInsideTheirDrawRanges) {
	for (const SearchCase &search_case : random_cases()) {
		const int64_t n = search_case.node_count;
		ASSERT_GE(n, 1);
		ASSERT_LE(n, 24);
		ASSERT_EQ(search_case.edges.size(), static_cast<size_t>(n));
		EXPECT_LE(search_case.goals.size(), 7u);
		EXPECT_GE(search_case.start, -1);
		EXPECT_LE(search_case.start, n);
		for (const std::vector<GraphEdge> &node_edges : search_case.edges) {
			EXPECT_LE(node_edges.size(), 5u);
			for (const GraphEdge &edge : node_edges) {
				EXPECT_GE(edge.target, -1);
				EXPECT_LE(edge.target, n);
			}
		}
	}
}

TEST(CaseGeneration, WholeRandomCasesCarryTheirBadCost) {
	const std::vector<SearchCase> cases = random_cases();
	auto all_costs_are = [&cases](size_t p_number, int64_t p_cost) {
		bool any = false;
		for (const std::vector<GraphEdge> &node_edges : cases[p_number].edges) {
			for (const GraphEdge &edge : node_edges) {
				any = true;
				if (edge.cost != p_cost) {
					return false;
				}
			}
		}
		return any;
	};
	EXPECT_TRUE(all_costs_are(62, MAX_COST)); // 31 * 2
	EXPECT_TRUE(all_costs_are(899, MAX_COST)); // 31 * 29: 31 wins
	EXPECT_TRUE(all_costs_are(58, -1)); // 29 * 2
	EXPECT_TRUE(all_costs_are(667, -1)); // 29 * 23: 29 wins
	EXPECT_TRUE(all_costs_are(46, 0)); // 23 * 2
	for (const std::vector<GraphEdge> &node_edges : cases[1].edges) {
		for (const GraphEdge &edge : node_edges) {
			EXPECT_GE(edge.cost, 1);
			EXPECT_LE(edge.cost, 12);
		}
	}
}

TEST(CaseGeneration, FixedCasesAreTheHandMadeOnes) {
	const std::vector<SearchCase> cases = fixed_cases();
	ASSERT_EQ(cases.size(), 4u);
	EXPECT_THAT(pairs_of(cases[0].edges[0]), ElementsAre(Pair(1, MAX_COST)));
	EXPECT_THAT(cases[1].goals, ElementsAre(3, 3, 99));
	EXPECT_THAT(pairs_of(cases[1].edges[0]), ElementsAre(Pair(2, 1), Pair(1, 1), Pair(1, 1)));
	EXPECT_EQ(cases[2].node_count, 0);
	EXPECT_EQ(cases[2].start, -1);
	EXPECT_THAT(cases[2].edges, IsEmpty());
	EXPECT_EQ(cases[3].node_count, 1);
	EXPECT_EQ(cases[3].start, 1);
	EXPECT_THAT(cases[3].goals, ElementsAre(0));
}

} // namespace
