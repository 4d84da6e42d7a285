// The sorted-copy helpers on their own, for what the recorder's answers cannot show.

#include "performance/sorted_window.hpp"

#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace godot;
using namespace veltrin;

namespace {

Array sorted_of(const std::vector<int64_t> &p_values) {
	TypedArray<int64_t> array;
	for (int64_t value : p_values) {
		array.push_back(value);
	}
	return array;
}

} // namespace

TEST(SortedWindow, MaximumNeverBelowZero) {
	EXPECT_EQ(sorted_maximum(sorted_of({ -9, -4 })), 0);
	EXPECT_EQ(sorted_maximum(sorted_of({})), 0);
	EXPECT_EQ(sorted_maximum(sorted_of({ -9, 4 })), 4);
	EXPECT_EQ(sorted_p95(sorted_of({ -9, -4 })), -4);
	EXPECT_EQ(sorted_p95(sorted_of({})), 0);
}

TEST(SortedWindow, InsertsBeforeEqualValues) {
	Array sorted = sorted_of({ 1, 3, 3, 3, 7 });
	EXPECT_EQ(sorted_lower_bound(sorted, 3), 1);
	EXPECT_EQ(sorted_lower_bound(sorted, 8), 5);
	EXPECT_EQ(sorted_lower_bound(sorted, 0), 0);
	sorted_insert(sorted, 5);
	EXPECT_EQ(sorted, sorted_of({ 1, 3, 3, 3, 5, 7 }));
}

// Against the plain model: the multiset with one value swapped, sorted again.
TEST(SortedWindow, ReplaceMatchesInsertThenRemove) {
	std::mt19937_64 random(11);
	std::uniform_int_distribution<int64_t> value(-4, 12);
	for (int round = 0; round < 500; round++) {
		std::vector<int64_t> values(size_t(1 + round % 9));
		for (int64_t &element : values) {
			element = value(random);
		}
		std::sort(values.begin(), values.end());
		const int64_t leaving = values[size_t(random() % values.size())];
		const int64_t entering = value(random);

		Array sorted = sorted_copy_of(sorted_of(values));
		ASSERT_TRUE(sorted_replace(sorted, leaving, entering));

		values.erase(std::find(values.begin(), values.end(), leaving));
		values.insert(std::lower_bound(values.begin(), values.end(), entering), entering);
		ASSERT_EQ(sorted, sorted_of(values)) << "replace " << leaving << " by " << entering;
		ASSERT_EQ(sorted.get_typed_builtin(), Variant::INT);
	}
}

TEST(SortedWindow, ReplaceRefusesAValueTheCopyDoesNotHold) {
	Array sorted = sorted_of({ 1, 3, 5 });
	EXPECT_FALSE(sorted_replace(sorted, 4, 0));
	EXPECT_FALSE(sorted_replace(sorted, 9, 0));
	EXPECT_FALSE(sorted_replace(sorted, 0, 2));
	EXPECT_EQ(sorted, sorted_of({ 1, 3, 5 }));
	// Nothing to find when the same value enters and leaves.
	EXPECT_TRUE(sorted_replace(sorted, 4, 4));
	EXPECT_EQ(sorted, sorted_of({ 1, 3, 5 }));
}

TEST(SortedWindow, CopyIsTypedAndSorted) {
	const Array copy = sorted_copy_of(Array::make(int64_t(4), int64_t(-2), int64_t(4), int64_t(0)));
	EXPECT_EQ(copy.get_typed_builtin(), Variant::INT);
	EXPECT_EQ(copy, sorted_of({ -2, 0, 4, 4 }));
}
