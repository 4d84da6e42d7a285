#pragma once

#include "native/kernel_namespace.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace VELTRIN_NATIVE_NAMESPACE {

// Min-queue of (cost, node) pairs in lexicographic order: the smallest cost
// first, and of equal costs the smallest node.
//
// It is a radix heap, which relies on the search's monotony: every pushed cost
// is non-negative and at least the cost last popped (edge costs are positive).
// An entry sits in the bucket of the highest bit in which its cost differs from
// the last popped cost, so a push is O(1) and an entry moves down at most 64
// times. Bucket 0, the front, holds the entries of exactly the last popped cost,
// sorted by descending node so the smallest node pops from the back.
class SearchQueue {
public:
	struct Entry {
		int64_t cost;
		int64_t node;
	};

	bool empty() const { return count == 0; }

	// Requires p_cost >= the cost last popped (0 before the first pop).
	void push(int64_t p_cost, int64_t p_node) {
		const int bucket = bucket_of(p_cost);
		std::vector<Entry> &target = buckets[bucket];
		if (bucket == 0 && !target.empty()) {
			// Not reached by the search (its pushes always exceed the popped
			// cost), kept so the queue stays ordered for any monotone use.
			auto at = std::lower_bound(target.begin(), target.end(), p_node,
					[](const Entry &p_entry, int64_t p_value) { return p_entry.node > p_value; });
			target.insert(at, Entry { p_cost, p_node });
		} else {
			target.push_back(Entry { p_cost, p_node });
		}
		count++;
	}

	// Requires !empty().
	Entry pop() {
		std::vector<Entry> &front = buckets[0];
		if (front.empty()) {
			refill_front();
		}
		const Entry entry = front.back();
		front.pop_back();
		count--;
		return entry;
	}

	// Bytes currently reserved by the buckets, for memory reports.
	size_t reserved_bytes() const {
		size_t total = 0;
		for (const std::vector<Entry> &bucket : buckets) {
			total += bucket.capacity() * sizeof(Entry);
		}
		return total;
	}

private:
	static constexpr int BUCKET_COUNT = 65;

	std::array<std::vector<Entry>, BUCKET_COUNT> buckets;
	uint64_t last_cost = 0;
	size_t count = 0;

	int bucket_of(int64_t p_cost) const {
		const uint64_t difference = static_cast<uint64_t>(p_cost) ^ last_cost;
		return difference == 0 ? 0 : 64 - __builtin_clzll(difference);
	}

	// Moves the lowest non-empty bucket down around its smallest cost; the
	// entries of that cost land in the front.
	void refill_front() {
		int index = 1;
		while (buckets[index].empty()) {
			index++;
		}
		std::vector<Entry> &source = buckets[index];
		uint64_t smallest = static_cast<uint64_t>(source.front().cost);
		for (const Entry &entry : source) {
			smallest = std::min(smallest, static_cast<uint64_t>(entry.cost));
		}
		last_cost = smallest;
		// Every entry of the source shares the bits above its bucket with the
		// new last cost, so each one lands in a lower bucket.
		for (const Entry &entry : source) {
			buckets[bucket_of(entry.cost)].push_back(entry);
		}
		source.clear();
		std::vector<Entry> &front = buckets[0];
		std::sort(front.begin(), front.end(),
				[](const Entry &p_a, const Entry &p_b) { return p_a.node > p_b.node; });
	}
};

} // namespace VELTRIN_NATIVE_NAMESPACE
