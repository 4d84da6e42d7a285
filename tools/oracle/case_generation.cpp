#include "oracle/case_generation.hpp"

#include <iterator>
#include <limits>
#include <random>

namespace veltrin_oracle {

namespace {

constexpr int64_t MAX_COST = std::numeric_limits<int64_t>::max();
constexpr int EXHAUSTIVE_NODE_COUNT = 3;

// A draw in -1..p_node_count, so targets, goals and starts step just outside
// the graph on both sides.
int64_t draw_index(std::mt19937_64 &p_random, int64_t p_node_count) {
	return static_cast<int64_t>(p_random() % static_cast<uint64_t>(p_node_count + 2)) - 1;
}

// Some whole cases carry only bad costs so the overflow and bad-cost stops are
// reached often; the draw is taken regardless, keeping the sequence fixed.
int64_t case_cost(size_t p_case_number, uint64_t p_draw) {
	if (p_case_number % 31 == 0) {
		return MAX_COST;
	}
	if (p_case_number % 29 == 0) {
		return -1;
	}
	if (p_case_number % 23 == 0) {
		return 0;
	}
	return static_cast<int64_t>(p_draw % 12) + 1;
}

} // namespace

std::vector<SearchCase> exhaustive_cases() {
	std::vector<SearchCase> cases;
	cases.reserve(EXHAUSTIVE_CASE_COUNT);
	for (int mask = 0; mask < 512; mask++) {
		std::vector<std::vector<GraphEdge>> edges(EXHAUSTIVE_NODE_COUNT);
		for (int bit = 0; bit < 9; bit++) {
			if (mask & (1 << bit)) {
				edges[bit / EXHAUSTIVE_NODE_COUNT].push_back(GraphEdge { bit % EXHAUSTIVE_NODE_COUNT, 1 });
			}
		}
		for (int start = 0; start < EXHAUSTIVE_NODE_COUNT; start++) {
			for (int goal_mask = 0; goal_mask < 8; goal_mask++) {
				SearchCase search_case;
				search_case.node_count = EXHAUSTIVE_NODE_COUNT;
				search_case.start = start;
				for (int goal = 0; goal < EXHAUSTIVE_NODE_COUNT; goal++) {
					if (goal_mask & (1 << goal)) {
						search_case.goals.push_back(goal);
					}
				}
				search_case.edges = edges;
				cases.push_back(std::move(search_case));
			}
		}
	}
	return cases;
}

std::vector<SearchCase> random_cases() {
	std::vector<SearchCase> cases;
	cases.reserve(RANDOM_CASE_COUNT);
	std::mt19937_64 random(RANDOM_CASE_SEED);
	for (size_t number = 0; number < RANDOM_CASE_COUNT; number++) {
		// One draw per statement: the order of draws is part of the case set.
		SearchCase search_case;
		search_case.node_count = static_cast<int64_t>(random() % 24) + 1;
		search_case.edges.resize(static_cast<size_t>(search_case.node_count));
		for (std::vector<GraphEdge> &node_edges : search_case.edges) {
			const uint64_t edge_count = random() % 6;
			for (uint64_t i = 0; i < edge_count; i++) {
				GraphEdge edge;
				edge.target = draw_index(random, search_case.node_count);
				const uint64_t cost_draw = random();
				edge.cost = case_cost(number, cost_draw);
				node_edges.push_back(edge);
			}
		}
		const uint64_t goal_count = random() % 8;
		for (uint64_t i = 0; i < goal_count; i++) {
			search_case.goals.push_back(draw_index(random, search_case.node_count));
		}
		search_case.start = draw_index(random, search_case.node_count);
		cases.push_back(std::move(search_case));
	}
	return cases;
}

std::vector<SearchCase> fixed_cases() {
	std::vector<SearchCase> cases(FIXED_CASE_COUNT);

	// The start's edge costs the unreached marker itself: no improvement.
	cases[0].node_count = 3;
	cases[0].start = 0;
	cases[0].goals = { 2 };
	cases[0].edges = { { { 1, MAX_COST } }, { { 2, 1 } }, {} };

	// Two equal-cost routes, a repeated edge, a repeated and an out-of-range goal.
	cases[1].node_count = 4;
	cases[1].start = 0;
	cases[1].goals = { 3, 3, 99 };
	cases[1].edges = { { { 2, 1 }, { 1, 1 }, { 1, 1 } }, { { 3, 2 } }, { { 3, 2 } }, {} };

	// No nodes at all.
	cases[2].node_count = 0;
	cases[2].start = -1;

	// Start one past the last node.
	cases[3].node_count = 1;
	cases[3].start = 1;
	cases[3].goals = { 0 };
	cases[3].edges = { {} };
	return cases;
}

std::vector<SearchCase> all_cases() {
	std::vector<SearchCase> cases = exhaustive_cases();
	std::vector<SearchCase> randoms = random_cases();
	std::vector<SearchCase> fixed = fixed_cases();
	cases.reserve(CASE_COUNT);
	cases.insert(cases.end(), std::make_move_iterator(randoms.begin()), std::make_move_iterator(randoms.end()));
	cases.insert(cases.end(), std::make_move_iterator(fixed.begin()), std::make_move_iterator(fixed.end()));
	return cases;
}

} // namespace veltrin_oracle
