#include "native/search_queue.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

using veltrin_native::SearchQueue;

namespace {

// Drives the queue the way the search does (pushes never below the last pop)
// and compares every pop with an ordered set holding the same pairs.
void check_against_ordered_set(uint64_t p_seed, uint64_t p_cost_span, uint64_t p_base, uint64_t p_node_span) {
	std::mt19937_64 random(p_seed);
	SearchQueue queue;
	std::multiset<std::pair<int64_t, int64_t>> model;
	int64_t last = static_cast<int64_t>(p_base);
	queue.push(last, 0);
	model.insert({ last, 0 });
	for (int step = 0; step < 20000; step++) {
		if (!model.empty() && random() % 3 == 0) {
			const SearchQueue::Entry popped = queue.pop();
			const std::pair<int64_t, int64_t> expected = *model.begin();
			model.erase(model.begin());
			ASSERT_EQ(popped.cost, expected.first) << "step " << step;
			ASSERT_EQ(popped.node, expected.second) << "step " << step;
			last = popped.cost;
		} else {
			const int64_t cost = last + static_cast<int64_t>(random() % p_cost_span);
			const int64_t node = static_cast<int64_t>(random() % p_node_span);
			queue.push(cost, node);
			model.insert({ cost, node });
		}
		ASSERT_EQ(queue.empty(), model.empty());
	}
	while (!model.empty()) {
		const SearchQueue::Entry popped = queue.pop();
		ASSERT_EQ(popped.cost, model.begin()->first);
		ASSERT_EQ(popped.node, model.begin()->second);
		model.erase(model.begin());
	}
	EXPECT_TRUE(queue.empty());
}

TEST(SearchQueue, PopsInCostThenNodeOrderUnderMonotonePushes) {
	// Narrow spans make many equal costs (node order decides); wide spans and
	// a base near the top of the range exercise the high buckets.
	// Node spans beyond one byte make large fronts take several radix passes.
	check_against_ordered_set(1, 3, 0, 50);
	check_against_ordered_set(2, 3, 0, uint64_t(1) << 40);
	check_against_ordered_set(3, 40, 0, 100000);
	check_against_ordered_set(4, uint64_t(1) << 40, 0, 1000);
	check_against_ordered_set(5, 1000, uint64_t(std::numeric_limits<int64_t>::max()) - (uint64_t(1) << 30), 70000);
}

TEST(SearchQueue, PushAtTheCostBeingDrainedStaysInNodeOrder) {
	SearchQueue queue;
	queue.push(5, 8);
	queue.push(5, 2);
	queue.push(6, 0);
	EXPECT_EQ(queue.pop().node, 2);
	queue.push(5, 9);
	queue.push(5, 3);
	const int64_t expected[] = { 3, 8, 9 };
	for (const int64_t node : expected) {
		const SearchQueue::Entry popped = queue.pop();
		EXPECT_EQ(popped.cost, 5);
		EXPECT_EQ(popped.node, node);
	}
	EXPECT_EQ(queue.pop().cost, 6);
	EXPECT_TRUE(queue.empty());
}

TEST(SearchQueue, LargeEqualCostFrontComesOutInNodeOrder) {
	std::mt19937_64 random(9);
	std::vector<int64_t> nodes;
	for (int i = 0; i < 5000; i++) {
		nodes.push_back(static_cast<int64_t>(random() % (uint64_t(1) << 33)));
	}
	nodes.push_back(nodes[17]);
	nodes.push_back(0);
	SearchQueue queue;
	queue.push(0, 4);
	ASSERT_EQ(queue.pop().node, 4);
	for (const int64_t node : nodes) {
		queue.push(77, node);
	}
	std::sort(nodes.begin(), nodes.end());
	for (const int64_t node : nodes) {
		const SearchQueue::Entry popped = queue.pop();
		ASSERT_EQ(popped.cost, 77);
		ASSERT_EQ(popped.node, node);
	}
	EXPECT_TRUE(queue.empty());
}

} // namespace
