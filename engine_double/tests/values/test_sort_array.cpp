// SortArray: godot-cpp's comparator convention, the introsort's results and its guard
// against inconsistent comparators.

#include "engine_errors.hpp"

#include <godot_cpp/templates/sort_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <algorithm>
#include <random>
#include <vector>

using namespace godot;

namespace {

class SortArrays : public EngineErrors {};

struct Descending {
	bool operator()(int64_t p_a, int64_t p_b) const { return p_a > p_b; }
};

struct Keyed {
	int64_t key;
	int64_t tag;
};

struct ByKey {
	bool operator()(const Keyed &p_a, const Keyed &p_b) const { return p_a.key < p_b.key; }
};

struct AlwaysTrue {
	bool operator()(int64_t, int64_t) const { return true; }
};

TEST_F(SortArrays, SortsLikeStdSortForManySizes) {
	std::mt19937_64 random(99);
	for (int64_t n : { 0, 1, 2, 15, 16, 17, 100, 1000, 5000 }) {
		std::vector<int64_t> values(static_cast<size_t>(n));
		for (int64_t &value : values) {
			value = int64_t(random() % 50) - 25;
		}
		std::vector<int64_t> expected = values;
		std::sort(expected.begin(), expected.end());
		SortArray<int64_t> sorter;
		sorter.sort(values.data(), n);
		EXPECT_EQ(values, expected) << "n = " << n;
	}
}

TEST_F(SortArrays, AlreadySortedAndReversedInputsFinishSorted) {
	std::vector<int64_t> ascending(3000);
	for (size_t i = 0; i < ascending.size(); i++) {
		ascending[i] = int64_t(i);
	}
	std::vector<int64_t> descending(ascending.rbegin(), ascending.rend());
	SortArray<int64_t> sorter;
	sorter.sort(descending.data(), int64_t(descending.size()));
	EXPECT_EQ(descending, ascending);
	sorter.sort(ascending.data(), int64_t(ascending.size()));
	EXPECT_TRUE(std::is_sorted(ascending.begin(), ascending.end()));
}

TEST_F(SortArrays, ComparatorIsAFunctorMemberSayingWhatGoesFirst) {
	std::vector<int64_t> values { 3, 9, 1, 7 };
	SortArray<int64_t, Descending> sorter;
	sorter.sort(values.data(), int64_t(values.size()));
	EXPECT_EQ(values, (std::vector<int64_t> { 9, 7, 3, 1 }));
	EXPECT_TRUE(sorter.compare(2, 1));
}

TEST_F(SortArrays, SmallInputsKeepEqualKeysInOrderLargeOnesNeedNot) {
	std::vector<Keyed> small;
	for (int64_t i = 0; i < 16; i++) {
		small.push_back({ i % 3, i });
	}
	SortArray<Keyed, ByKey> sorter;
	sorter.sort(small.data(), int64_t(small.size()));
	for (size_t i = 1; i < small.size(); i++) {
		if (small[i].key == small[i - 1].key) {
			EXPECT_LT(small[i - 1].tag, small[i].tag);
		}
	}

	std::vector<Keyed> large;
	for (int64_t i = 0; i < 200; i++) {
		large.push_back({ (i * 7919) % 5, i });
	}
	sorter.sort(large.data(), int64_t(large.size()));
	bool reordered = false;
	for (size_t i = 1; i < large.size(); i++) {
		EXPECT_LE(large[i - 1].key, large[i].key);
		reordered |= large[i].key == large[i - 1].key && large[i - 1].tag > large[i].tag;
	}
	EXPECT_TRUE(reordered) << "the introsort is not stable";
}

TEST_F(SortArrays, BadComparatorIsReportedWithoutRunningOffTheArray) {
	std::vector<int64_t> values(64);
	for (size_t i = 0; i < values.size(); i++) {
		values[i] = int64_t(i % 7);
	}
	SortArray<int64_t, AlwaysTrue, true> sorter;
	sorter.sort(values.data(), int64_t(values.size()));
	ASSERT_GT(error_count(), 0u);
	EXPECT_EQ(errors()[0], "bad comparison function; sorting will be broken");
	std::sort(values.begin(), values.end());
	EXPECT_EQ(values.front(), 0);
	EXPECT_EQ(values.back(), 6);
}

TEST_F(SortArrays, NthElementAndPartialSort) {
	std::vector<int64_t> values { 9, 4, 7, 1, 8, 2, 6, 3, 5, 0 };
	SortArray<int64_t> sorter;
	std::vector<int64_t> nth = values;
	sorter.nth_element(0, int64_t(nth.size()), 4, nth.data());
	EXPECT_EQ(nth[4], 4);
	std::vector<int64_t> partial = values;
	sorter.partial_sort(0, int64_t(partial.size()), 3, partial.data());
	EXPECT_EQ(std::vector<int64_t>(partial.begin(), partial.begin() + 3), (std::vector<int64_t> { 0, 1, 2 }));
}

TEST_F(SortArrays, SortsVariantsWithAPackedArrayPtrw) {
	PackedInt64Array packed { 5, -1, 3 };
	SortArray<int64_t> sorter;
	sorter.sort(packed.ptrw(), packed.size());
	EXPECT_EQ(packed, (PackedInt64Array { -1, 3, 5 }));
}

} // namespace
