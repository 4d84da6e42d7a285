#include "logged_graph.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <new>

using testing::ElementsAre;
using testing::IsEmpty;
using veltrin_native::NO_PARENT;
using veltrin_native::Result;
using veltrin_native::UNREACHED_COST;

namespace {

constexpr int64_t MAX = std::numeric_limits<int64_t>::max();

void expect_all_lists_empty(const Result &p_result) {
	EXPECT_THAT(p_result.cost_values, IsEmpty());
	EXPECT_THAT(p_result.parent_indices, IsEmpty());
	EXPECT_THAT(p_result.discovered, IsEmpty());
	EXPECT_THAT(p_result.parent_discovered, IsEmpty());
	EXPECT_THAT(p_result.settled, IsEmpty());
}

TEST(SearchOutcomes, StartOutsideTheGraphIsUnusableWithEmptyLists) {
	LoggedGraph graph(3);
	graph.add(0, 1, 1);
	for (const int64_t start : { int64_t(-1), int64_t(3), MAX, std::numeric_limits<int64_t>::min() }) {
		const Result result = graph.search(start, { 1 });
		EXPECT_EQ(result.status, "unusable") << start;
		expect_all_lists_empty(result);
	}
	LoggedGraph empty(0);
	const Result result = empty.search(0, {});
	EXPECT_EQ(result.status, "unusable");
	expect_all_lists_empty(result);
	EXPECT_THAT(graph.calls, IsEmpty());
	EXPECT_THAT(empty.calls, IsEmpty());
}

TEST(SearchOutcomes, NonPositiveCostStopsAfterTheEdgesBeforeIt) {
	for (const int64_t bad_cost : { int64_t(0), int64_t(-3), std::numeric_limits<int64_t>::min() }) {
		LoggedGraph graph(4);
		graph.add(0, 1, 5);
		graph.add(0, 2, bad_cost);
		graph.add(0, 3, 1);
		const Result result = graph.search(0, { 3 });
		EXPECT_EQ(result.status, "unusable") << bad_cost;
		// The edge before the bad one was relaxed, the one after it was not.
		EXPECT_THAT(result.cost_values, ElementsAre(0, 5, UNREACHED_COST, UNREACHED_COST));
		EXPECT_THAT(result.discovered, ElementsAre(0, 1));
		EXPECT_THAT(graph.calls, ElementsAre(0));
	}
}

TEST(SearchOutcomes, OutOfRangeTargetsAreUnusableAndNeverIndexed) {
	for (const int64_t target : { int64_t(-1), int64_t(3), MAX, std::numeric_limits<int64_t>::min() }) {
		LoggedGraph graph(3);
		graph.add(0, 1, 2);
		graph.add(1, target, 1);
		const Result result = graph.search(0, { 2 });
		EXPECT_EQ(result.status, "unusable") << target;
		EXPECT_THAT(result.settled, ElementsAre(0, 1));
	}
	// A bad cost on an out-of-range target is still just "unusable".
	LoggedGraph graph(2);
	graph.add(0, -5, 0);
	EXPECT_EQ(graph.search(0, { 1 }).status, "unusable");
}

TEST(SearchOutcomes, OverflowingSumIsWrappedWhenItsNodeIsExpanded) {
	LoggedGraph graph(3);
	graph.add(0, 1, 9223372036854775800);
	graph.add(1, 2, 10);
	const Result result = graph.search(0, { 2 });
	EXPECT_EQ(result.status, "wrapped");
	EXPECT_THAT(result.settled, ElementsAre(0, 1));
	EXPECT_THAT(graph.calls, ElementsAre(0, 1));

	// A wrap on a node that is never expanded goes unnoticed.
	LoggedGraph unexpanded(3);
	unexpanded.add(0, 1, 9223372036854775800);
	unexpanded.add(0, 2, 1);
	unexpanded.add(1, 2, 10);
	EXPECT_EQ(unexpanded.search(0, { 2 }).status, "usable");
}

TEST(SearchOutcomes, RouteTotallingTheUnreachedMarkerNeverDiscoversItsNode) {
	LoggedGraph graph(3);
	graph.add(0, 1, MAX - 5);
	graph.add(1, 2, 5);
	const Result result = graph.search(0, { -1 });
	EXPECT_EQ(result.status, "usable");
	EXPECT_THAT(result.cost_values, ElementsAre(0, MAX - 5, MAX));
	EXPECT_THAT(result.parent_indices, ElementsAre(NO_PARENT, 0, NO_PARENT));
	EXPECT_THAT(result.discovered, ElementsAre(0, 1));
	EXPECT_THAT(result.settled, ElementsAre(0, 1));
}

TEST(SearchOutcomes, BadEdgesOfNodesNeverExpandedDoNotMatter) {
	LoggedGraph graph(3);
	graph.add(0, 1, 1);
	graph.add(1, 2, 0);
	graph.add(2, 7, -1);
	const Result result = graph.search(0, { 1 });
	EXPECT_EQ(result.status, "usable");
	EXPECT_THAT(graph.calls, ElementsAre(0));
}

TEST(SearchOutcomes, UnreachableGoalSettlesEverythingReachable) {
	LoggedGraph graph(4);
	graph.add(0, 1, 2);
	graph.add(1, 2, 2);
	graph.add(3, 0, 1);
	const Result result = graph.search(0, { 3 });
	EXPECT_EQ(result.status, "usable");
	EXPECT_THAT(result.cost_values, ElementsAre(0, 2, 4, UNREACHED_COST));
	EXPECT_THAT(result.parent_indices, ElementsAre(NO_PARENT, 0, 1, NO_PARENT));
	EXPECT_THAT(result.settled, ElementsAre(0, 1, 2));
	EXPECT_THAT(graph.calls, ElementsAre(0, 1, 2));
}

TEST(SearchOutcomes, UnaddressableNodeCountRaisesBadAlloc) {
	// The plug-in catches std::bad_alloc around the search; a length_error
	// from an oversized vector would slip past that.
	auto lookup = [](int64_t) { return std::vector<veltrin_native::Edge>(); };
	EXPECT_THROW(veltrin_native::search(MAX, 0, {}, lookup), std::bad_alloc);
}

} // namespace
