#pragma once

#include "common/compiler_builtins.hpp"
#include "native/kernel_namespace.hpp"

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
// is non-negative and at least the cost last popped (the search even pushes
// strictly above it, edge costs being positive). An entry sits in the bucket
// of the highest bit in which its cost differs from the front cost, so a push
// is O(1) and an entry moves down at most 64 times. When the front runs dry,
// the lowest bucket is spread around its smallest cost, and the nodes of
// exactly that cost become the new front, sorted once.
class SearchQueue {
public:
	struct Entry {
		int64_t cost;
		int64_t node;
	};

	bool empty() const { return front_next == front.size() && pending == 0; }

	// Requires p_cost >= the cost last popped (0 before any pop), p_node >= 0.
	void push(int64_t p_cost, int64_t p_node) {
		const int bucket = bucket_of(p_cost);
		if (bucket == 0 && front_next < front.size()) {
			// Joins the cost being drained; never happens in the search, kept
			// so any monotone use stays ordered.
			front.insert(std::lower_bound(front.begin() + front_next, front.end(), p_node), p_node);
			return;
		}
		buckets[bucket].push_back(Entry { p_cost, p_node });
		pending++;
	}

	// Requires !empty().
	Entry pop() {
		if (front_next == front.size()) {
			refill_front();
		}
		return Entry { static_cast<int64_t>(front_cost), front[front_next++] };
	}

private:
	static constexpr int BUCKET_COUNT = 65;
	// Below this size a comparison sort beats radix passes over 256 counters.
	static constexpr size_t RADIX_SORT_MIN = 128;
	static constexpr size_t RELEASE_CAPACITY = 4096;

	// Bucket 0 only takes pushes at the front cost while no front is open,
	// that is the very first push.
	std::array<std::vector<Entry>, BUCKET_COUNT> buckets;
	size_t pending = 0;
	uint64_t front_cost = 0;
	std::vector<int64_t> front;
	size_t front_next = 0;
	std::vector<int64_t> sort_scratch;

	int bucket_of(int64_t p_cost) const {
		const uint64_t difference = static_cast<uint64_t>(p_cost) ^ front_cost;
		return difference == 0 ? 0 : 64 - ::veltrin::count_leading_zeros(difference);
	}

	void refill_front() {
		front.clear();
		front_next = 0;
		if (!buckets[0].empty()) {
			take_front_from(buckets[0]);
			return;
		}
		int index = 1;
		while (buckets[index].empty()) {
			index++;
		}
		std::vector<Entry> &source = buckets[index];
		uint64_t smallest = static_cast<uint64_t>(source.front().cost);
		for (const Entry &entry : source) {
			smallest = std::min(smallest, static_cast<uint64_t>(entry.cost));
		}
		front_cost = smallest;
		// Every entry of the source shares the bits above its bucket with the
		// new front cost, so each one lands in a lower bucket or the front.
		for (const Entry &entry : source) {
			const int bucket = bucket_of(entry.cost);
			if (bucket == 0) {
				front.push_back(entry.node);
			} else {
				buckets[bucket].push_back(entry);
			}
		}
		// A big bucket that was just spread out is rarely refilled to that
		// size; returning its block keeps the queue's peak near its live size.
		if (source.capacity() > RELEASE_CAPACITY) {
			std::vector<Entry>().swap(source);
		} else {
			source.clear();
		}
		pending -= front.size();
		sort_front();
	}

	void take_front_from(std::vector<Entry> &r_entries) {
		for (const Entry &entry : r_entries) {
			front.push_back(entry.node);
		}
		pending -= r_entries.size();
		r_entries.clear();
		sort_front();
	}

	// Ascending node order. Large fronts take a least-significant-digit radix
	// sort over the bytes that the largest node actually uses.
	void sort_front() {
		if (front.size() < RADIX_SORT_MIN) {
			std::sort(front.begin(), front.end());
			return;
		}
		uint64_t largest = 0;
		for (const int64_t node : front) {
			largest |= static_cast<uint64_t>(node);
		}
		sort_scratch.resize(front.size());
		for (int shift = 0; shift < 64 && (largest >> shift) != 0; shift += 8) {
			std::array<size_t, 257> starts {};
			for (const int64_t node : front) {
				starts[((static_cast<uint64_t>(node) >> shift) & 0xff) + 1]++;
			}
			for (size_t digit = 1; digit < starts.size(); digit++) {
				starts[digit] += starts[digit - 1];
			}
			for (const int64_t node : front) {
				sort_scratch[starts[(static_cast<uint64_t>(node) >> shift) & 0xff]++] = node;
			}
			front.swap(sort_scratch);
		}
	}
};

} // namespace VELTRIN_NATIVE_NAMESPACE
