// How the window and its sorted copy evolve, and when the sorted copy is rebuilt.

#include "budget_fixture.hpp"

#include <godot_cpp/variant/utility_functions.hpp>

using namespace godot;
using Ints = std::vector<int64_t>;

namespace {

void expect_snapshots_of(const Dictionary &p_bytes, const Dictionary &p_window_bytes, const StringName &p_metric, const Array &p_window) {
	const PackedByteArray expected = UtilityFunctions::var_to_bytes(p_window);
	EXPECT_EQ(PackedByteArray(p_bytes.get(p_metric, Variant())), expected);
	EXPECT_EQ(PackedByteArray(p_window_bytes.get(p_metric, Variant())), expected);
}

} // namespace

TEST_F(BudgetTest, FirstSampleCreatesTheMetric) {
	const Dictionary report = report_of(7);

	EXPECT_EQ(ints_of(window()), Ints({ 7 }));
	EXPECT_EQ(ints_of(sorted()), Ints({ 7 }));
	EXPECT_FALSE(window().is_typed());
	EXPECT_EQ(sorted().get_typed_builtin(), Variant::INT);
	EXPECT_EQ(container("_totals").get(metric, Variant()), Variant(int64_t(7)));
	EXPECT_EQ(container("_sample_counts").get(metric, Variant()), Variant(int64_t(1)));
	expect_snapshots_of(container("_ordered_sample_bytes"), container("_integer_window_bytes"), metric, window());
	EXPECT_EQ(int64_t(report["lifetime_sample_count"]), 1);
	EXPECT_EQ(int64_t(report["average_us"]), 7);
	EXPECT_EQ(int64_t(report["p95_us"]), 7);
	EXPECT_EQ(int64_t(report["maximum_us"]), 7);
}

TEST_F(BudgetTest, OldestSampleLeavesAtCapacity) {
	set_capacity(3);
	for (int64_t sample : { 10, 30, 20, 40 }) {
		report_of(sample);
	}
	EXPECT_EQ(ints_of(window()), Ints({ 30, 20, 40 }));
	EXPECT_EQ(ints_of(sorted()), Ints({ 20, 30, 40 }));
	EXPECT_EQ(container("_sample_counts").get(metric, Variant()), Variant(int64_t(4)));
	EXPECT_EQ(container("_totals").get(metric, Variant()), Variant(int64_t(100)));
	expect_snapshots_of(container("_ordered_sample_bytes"), container("_integer_window_bytes"), metric, window());
}

TEST_F(BudgetTest, DuplicateValuesLeaveOneAtATime) {
	set_capacity(3);
	for (int64_t sample : { 5, 5, 9, 5, 1 }) {
		report_of(sample);
	}
	EXPECT_EQ(ints_of(window()), Ints({ 9, 5, 1 }));
	EXPECT_EQ(ints_of(sorted()), Ints({ 1, 5, 9 }));
}

TEST_F(BudgetTest, ZeroCapacityLetsTheSampleLeaveAtOnce) {
	set_capacity(0);
	report_of(4);
	const Array kept = sorted();
	const Dictionary report = report_of(6);

	EXPECT_TRUE(UtilityFunctions::is_same(kept, sorted()));
	EXPECT_EQ(window().size(), 0);
	EXPECT_EQ(sorted().size(), 0);
	EXPECT_EQ(int64_t(report["window_sample_count"]), 0);
	EXPECT_EQ(int64_t(report["p95_us"]), 0);
	EXPECT_EQ(int64_t(report["maximum_us"]), 0);
	EXPECT_EQ(int64_t(report["lifetime_sample_count"]), 2);
	EXPECT_EQ(int64_t(report["average_us"]), 5);
}

TEST_F(BudgetTest, WindowLargerThanCapacityLosesOneSamplePerCall) {
	for (int64_t sample : { 1, 2, 3, 4 }) {
		report_of(sample);
	}
	set_capacity(0);
	const Dictionary report = report_of(8);

	EXPECT_EQ(ints_of(window()), Ints({ 2, 3, 4, 8 }));
	EXPECT_EQ(ints_of(sorted()), Ints({ 2, 3, 4, 8 }));
	EXPECT_EQ(int64_t(report["window_sample_count"]), 4);
}

TEST_F(BudgetTest, WindowChangedByTheScriptRebuildsTheSortedCopy) {
	report_of(10);
	report_of(20);
	window().push_back(5);
	const Array stale = sorted();

	const Dictionary report = report_of(30);

	EXPECT_EQ(ints_of(window()), Ints({ 10, 20, 5, 30 }));
	EXPECT_EQ(ints_of(sorted()), Ints({ 5, 10, 20, 30 }));
	EXPECT_FALSE(UtilityFunctions::is_same(stale, sorted()));
	EXPECT_EQ(sorted().get_typed_builtin(), Variant::INT);
	EXPECT_EQ(int64_t(report["window_sample_count"]), 4);
	expect_snapshots_of(container("_ordered_sample_bytes"), container("_integer_window_bytes"), metric, window());
}

TEST_F(BudgetTest, SortedCopyInStepIsUpdatedInPlace) {
	report_of(10);
	const Array kept = sorted();
	report_of(3);
	EXPECT_TRUE(UtilityFunctions::is_same(kept, sorted()));
	EXPECT_EQ(ints_of(kept), Ints({ 3, 10 }));
}

TEST_F(BudgetTest, SortedCopyOfAMetricWithoutWindowIsReplaced) {
	// Even a snapshot matching the new empty window does not make a stale copy trusted.
	container("_ordered_samples")[metric] = int_array({ 99 });
	container("_ordered_sample_bytes")[metric] = UtilityFunctions::var_to_bytes(Array());
	report_of(5);
	EXPECT_EQ(ints_of(sorted()), Ints({ 5 }));
}

TEST_F(BudgetTest, WindowFilledByTheScriptUnderAStringKey) {
	container("_samples")[String("frame")] = plain_array({ 3, 1 });
	const Dictionary report = report_of(2);

	EXPECT_EQ(container("_samples").size(), 1);
	EXPECT_EQ(ints_of(window()), Ints({ 3, 1, 2 }));
	EXPECT_EQ(ints_of(sorted()), Ints({ 1, 2, 3 }));
	EXPECT_EQ(int64_t(report["maximum_us"]), 3);
}

TEST_F(BudgetTest, TypedIntWindowIsRecorded) {
	container("_samples")[metric] = int_array({ 4 });
	report_of(6);
	EXPECT_EQ(ints_of(window()), Ints({ 4, 6 }));
	EXPECT_EQ(window().get_typed_builtin(), Variant::INT);
	expect_snapshots_of(container("_ordered_sample_bytes"), container("_integer_window_bytes"), metric, window());
}

// A sorted copy edited while the window stayed the same: the sample that leaves is not where
// the binary search looks, so the copy is rebuilt instead of losing the wrong element.
TEST_F(BudgetTest, SortedCopyMissingTheOldestSampleIsRebuilt) {
	set_capacity(3);
	for (int64_t sample : { 10, 50, 30 }) {
		report_of(sample);
	}
	sorted().set(0, 5);

	const Dictionary report = report_of(40);

	EXPECT_EQ(ints_of(window()), Ints({ 50, 30, 40 }));
	EXPECT_EQ(ints_of(sorted()), Ints({ 30, 40, 50 }));
	EXPECT_EQ(sorted().get_typed_builtin(), Variant::INT);
	EXPECT_EQ(int64_t(report["p95_us"]), 50);
	expect_snapshots_of(container("_ordered_sample_bytes"), container("_integer_window_bytes"), metric, window());
}

TEST_F(BudgetTest, SortedCopyWithoutTheLargestOldestSampleIsRebuilt) {
	set_capacity(3);
	for (int64_t sample : { 90, 10, 20 }) {
		report_of(sample);
	}
	sorted().set(2, 30);

	report_of(40);

	EXPECT_EQ(ints_of(window()), Ints({ 10, 20, 40 }));
	EXPECT_EQ(ints_of(sorted()), Ints({ 10, 20, 40 }));
}
