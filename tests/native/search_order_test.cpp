#include "logged_graph.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using testing::ElementsAre;
using testing::IsEmpty;
using veltrin_native::Edge;
using veltrin_native::NO_PARENT;
using veltrin_native::Result;
using veltrin_native::UNREACHED_COST;

namespace {

LoggedGraph small_chain() {
	LoggedGraph graph(4);
	graph.add(0, 1, 1);
	graph.add(1, 2, 1);
	graph.add(2, 3, 1);
	return graph;
}

TEST(SearchStopRule, NoGoalsSettlesOnlyTheStartWithoutLookups) {
	LoggedGraph graph = small_chain();
	const Result result = graph.search(1, {});
	EXPECT_EQ(result.status, "usable");
	EXPECT_THAT(result.settled, ElementsAre(1));
	EXPECT_THAT(result.discovered, ElementsAre(1));
	EXPECT_THAT(result.parent_discovered, IsEmpty());
	EXPECT_THAT(result.cost_values, ElementsAre(UNREACHED_COST, 0, UNREACHED_COST, UNREACHED_COST));
	EXPECT_THAT(graph.calls, IsEmpty());
}

TEST(SearchStopRule, GoalAtTheStartStopsBeforeAnyLookup) {
	LoggedGraph graph = small_chain();
	EXPECT_THAT(graph.search(2, { 2 }).settled, ElementsAre(2));
	EXPECT_THAT(graph.calls, IsEmpty());
}

TEST(SearchStopRule, LastGoalsEdgesAreNeverFetched) {
	LoggedGraph graph = small_chain();
	const Result result = graph.search(0, { 2, 1 });
	EXPECT_THAT(result.settled, ElementsAre(0, 1, 2));
	EXPECT_THAT(graph.calls, ElementsAre(0, 1));
}

TEST(SearchStopRule, DuplicateGoalsCountOnce) {
	LoggedGraph graph = small_chain();
	EXPECT_THAT(graph.search(0, { 2, 2, 2 }).settled, ElementsAre(0, 1, 2));
	EXPECT_THAT(graph.calls, ElementsAre(0, 1));
}

TEST(SearchStopRule, OutOfRangeGoalKeepsTheSearchRunningToTheEnd) {
	for (const int64_t bad_goal : { int64_t(-1), int64_t(4) }) {
		LoggedGraph graph = small_chain();
		const Result result = graph.search(0, { 1, bad_goal });
		EXPECT_EQ(result.status, "usable");
		EXPECT_THAT(result.settled, ElementsAre(0, 1, 2, 3));
		EXPECT_THAT(graph.calls, ElementsAre(0, 1, 2, 3));
	}
}

TEST(SearchTieBreak, EqualCostRouteKeepsTheSmallerParentInEitherOrder) {
	// Parent 3 relaxes node 9 first.
	LoggedGraph first(10);
	first.add(0, 7, 1);
	first.add(0, 3, 1);
	first.add(7, 9, 1);
	first.add(3, 9, 1);
	const Result three_first = first.search(0, { -1 });
	EXPECT_EQ(three_first.parent_indices[9], 3);
	EXPECT_EQ(three_first.cost_values[9], 2);

	// Parent 7 relaxes node 9 first and is replaced by 3 at equal cost.
	LoggedGraph second(10);
	second.add(0, 7, 1);
	second.add(0, 3, 2);
	second.add(7, 9, 2);
	second.add(3, 9, 1);
	const Result seven_first = second.search(0, { -1 });
	EXPECT_THAT(seven_first.settled, ElementsAre(0, 7, 3, 9));
	EXPECT_EQ(seven_first.parent_indices[9], 3);
	EXPECT_EQ(seven_first.cost_values[9], 3);
	// Node 9 was discovered once, through 7.
	EXPECT_THAT(seven_first.parent_discovered, ElementsAre(7, 3, 9));
}

TEST(SearchTieBreak, EqualCostsSettleInNodeOrderNotPushOrder) {
	LoggedGraph graph(4);
	graph.add(0, 2, 1);
	graph.add(0, 1, 1);
	graph.add(0, 1, 1);
	graph.add(1, 3, 2);
	graph.add(2, 3, 2);
	const Result result = graph.search(0, { 3, 3, 99 });
	EXPECT_EQ(result.status, "usable");
	EXPECT_THAT(result.cost_values, ElementsAre(0, 1, 1, 3));
	EXPECT_THAT(result.parent_indices, ElementsAre(NO_PARENT, 0, 0, 1));
	EXPECT_THAT(result.discovered, ElementsAre(0, 2, 1, 3));
	EXPECT_THAT(result.parent_discovered, ElementsAre(2, 1, 3));
	EXPECT_THAT(result.settled, ElementsAre(0, 1, 2, 3));
	EXPECT_THAT(graph.calls, ElementsAre(0, 1, 2, 3));
}

struct RandomGraph {
	int64_t node_count = 0;
	std::vector<std::vector<Edge>> edges;
};

RandomGraph random_graph(uint64_t p_seed, int64_t p_node_count, int p_min_degree, int p_max_degree, int64_t p_max_cost) {
	std::mt19937_64 random(p_seed);
	RandomGraph graph;
	graph.node_count = p_node_count;
	graph.edges.resize(static_cast<size_t>(p_node_count));
	for (std::vector<Edge> &node_edges : graph.edges) {
		const uint64_t degree = static_cast<uint64_t>(p_min_degree) + random() % static_cast<uint64_t>(p_max_degree - p_min_degree + 1);
		for (uint64_t i = 0; i < degree; i++) {
			const int64_t target = static_cast<int64_t>(random() % static_cast<uint64_t>(p_node_count));
			const int64_t cost = static_cast<int64_t>(random() % static_cast<uint64_t>(p_max_cost)) + 1;
			node_edges.push_back(Edge { target, cost });
		}
	}
	return graph;
}

// Costs are shortest distances, each parent is the smallest optimal
// predecessor, and nodes settle in (cost, node) order: checked against
// Bellman-Ford rather than another Dijkstra.
TEST(SearchProperties, RandomGraphsMatchBellmanFordAndTheTieRules) {
	for (uint64_t seed = 1; seed <= 40; seed++) {
		const RandomGraph graph = random_graph(seed, 60, 0, 4, seed % 2 ? 3 : 12);
		const Result result = veltrin_native::search(graph.node_count, 0, { -1 },
		        [&graph](int64_t p_node) { return graph.edges[static_cast<size_t>(p_node)]; });
		ASSERT_EQ(result.status, "usable");

		std::vector<int64_t> distance(graph.edges.size(), UNREACHED_COST);
		distance[0] = 0;
		for (size_t round = 0; round < graph.edges.size(); round++) {
			for (size_t from = 0; from < graph.edges.size(); from++) {
				for (const Edge &edge : graph.edges[from]) {
					if (distance[from] != UNREACHED_COST) {
						distance[edge.target] = std::min(distance[edge.target], distance[from] + edge.cost);
					}
				}
			}
		}
		ASSERT_EQ(result.cost_values, distance) << "seed " << seed;

		for (size_t node = 1; node < graph.edges.size(); node++) {
			int64_t best_parent = NO_PARENT;
			for (size_t from = 0; from < graph.edges.size() && best_parent == NO_PARENT; from++) {
				for (const Edge &edge : graph.edges[from]) {
					if (static_cast<size_t>(edge.target) == node && distance[from] != UNREACHED_COST &&
					        distance[from] + edge.cost == distance[node]) {
						best_parent = static_cast<int64_t>(from);
					}
				}
			}
			EXPECT_EQ(result.parent_indices[node], best_parent) << "seed " << seed << " node " << node;
		}

		std::vector<int64_t> reached;
		for (size_t node = 0; node < distance.size(); node++) {
			if (distance[node] != UNREACHED_COST) {
				reached.push_back(static_cast<int64_t>(node));
			}
		}
		std::vector<int64_t> expected_settled = reached;
		std::sort(expected_settled.begin(), expected_settled.end(), [&distance](int64_t p_a, int64_t p_b) {
			return distance[p_a] != distance[p_b] ? distance[p_a] < distance[p_b] : p_a < p_b;
		});
		EXPECT_EQ(result.settled, expected_settled) << "seed " << seed;
		EXPECT_EQ(result.discovered.size(), reached.size());
		EXPECT_TRUE(std::equal(result.parent_discovered.begin(), result.parent_discovered.end(),
		        result.discovered.begin() + 1, result.discovered.end()));
	}
}

// A lightweight view, as a caller with its own edge storage would return.
struct EdgeSpan {
	const Edge *first = nullptr;
	const Edge *last = nullptr;
	const Edge *begin() const { return first; }
	const Edge *end() const { return last; }
};

TEST(SearchLookup, AnyRangeThatLivesUntilTheNextCallGivesTheSameRecord) {
	const RandomGraph graph = random_graph(77, 300, 1, 5, 12);
	auto same_record = [](const Result &p_a, const Result &p_b) {
		return p_a.status == p_b.status && p_a.cost_values == p_b.cost_values &&
		        p_a.parent_indices == p_b.parent_indices && p_a.discovered == p_b.discovered &&
		        p_a.parent_discovered == p_b.parent_discovered && p_a.settled == p_b.settled;
	};
	auto by_copy = [&graph](int64_t p_node) { return graph.edges[static_cast<size_t>(p_node)]; };
	// Two reachable goals deep in the graph, so the search stops early.
	const Result everything = veltrin_native::search(graph.node_count, 5, { -1 }, by_copy);
	ASSERT_GT(everything.settled.size(), 100u);
	const std::vector<int64_t> goals = { everything.settled[60], everything.settled[30] };

	const Result by_value = veltrin_native::search(graph.node_count, 5, goals, by_copy);
	ASSERT_EQ(by_value.settled.size(), 61u);

	const Result by_span = veltrin_native::search(graph.node_count, 5, goals, [&graph](int64_t p_node) {
		const std::vector<Edge> &edges = graph.edges[static_cast<size_t>(p_node)];
		return EdgeSpan { edges.data(), edges.data() + edges.size() };
	});
	EXPECT_TRUE(same_record(by_value, by_span));

	// One buffer reused for every call, poisoned first: a kernel that kept
	// reading an old list after asking for the next would see bad edges.
	std::vector<Edge> buffer;
	std::vector<int64_t> asked;
	const Result by_buffer = veltrin_native::search(graph.node_count, 5, goals,
	        [&](int64_t p_node) -> const std::vector<Edge> & {
		        std::fill(buffer.begin(), buffer.end(), Edge { -1, 0 });
		        buffer = graph.edges[static_cast<size_t>(p_node)];
		        asked.push_back(p_node);
		        return buffer;
	        });
	EXPECT_TRUE(same_record(by_value, by_buffer));
	EXPECT_EQ(by_value.status, "usable");

	// Each settled node is asked for once, in settle order, except a final goal.
	std::vector<int64_t> expected_asked = by_value.settled;
	expected_asked.pop_back();
	EXPECT_EQ(asked, expected_asked);
}

} // namespace
