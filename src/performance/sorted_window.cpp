#include "performance/sorted_window.hpp"

#include "performance/sample_statistics.hpp"

#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <algorithm>
#include <utility>
#include <vector>

using namespace godot;

namespace veltrin {

Array sorted_copy_of(const Array &p_window) {
	const int64_t size = p_window.size();
	std::vector<int64_t> values;
	values.reserve(static_cast<size_t>(size));
	for (int64_t i = 0; i < size; i++) {
		values.push_back(int64_t(p_window[i]));
	}
	std::sort(values.begin(), values.end());
	TypedArray<int64_t> sorted;
	for (int64_t value : values) {
		sorted.push_back(value);
	}
	return sorted;
}

int64_t sorted_lower_bound(const Array &p_sorted, int64_t p_value) {
	int64_t low = 0;
	int64_t high = p_sorted.size();
	while (low < high) {
		const int64_t middle = low + (high - low) / 2;
		if (int64_t(p_sorted[middle]) < p_value) {
			low = middle + 1;
		} else {
			high = middle;
		}
	}
	return low;
}

void sorted_insert(Array &r_sorted, int64_t p_value) {
	r_sorted.insert(sorted_lower_bound(r_sorted, p_value), p_value);
}

bool sorted_replace(Array &r_sorted, int64_t p_leaving, int64_t p_entering) {
	if (p_leaving == p_entering) {
		// Whatever the copy holds, inserting and removing the same value leaves it as it was.
		return true;
	}
	const Array &sorted = r_sorted;
	const int64_t leaving = sorted_lower_bound(sorted, p_leaving);
	if (leaving >= sorted.size() || int64_t(sorted[leaving]) != p_leaving) {
		return false;
	}
	const int64_t entering = sorted_lower_bound(sorted, p_entering);
	// Walk to the leaving slot, then pull each element between it and the entering position
	// one place towards it; the vacated slot takes the new value. The elements are ints of an
	// int-typed array, so plain assignment keeps the typing.
	auto slot = r_sorted.begin();
	for (int64_t i = 0; i < leaving; i++) {
		++slot;
	}
	// Moves, not copies: a moved Variant only swaps bytes, a copied one calls into the engine
	// to copy and to release.
	if (entering <= leaving) {
		for (int64_t i = leaving; i > entering; i--) {
			auto previous = slot;
			--previous;
			*slot = std::move(*previous);
			slot = previous;
		}
	} else {
		for (int64_t i = leaving + 1; i < entering; i++) {
			auto next = slot;
			++next;
			*slot = std::move(*next);
			slot = next;
		}
	}
	*slot = p_entering;
	return true;
}

int64_t sorted_maximum(const Array &p_sorted) {
	const int64_t size = p_sorted.size();
	if (size == 0) {
		return 0;
	}
	const int64_t last = p_sorted[size - 1];
	return last < 0 ? 0 : last;
}

int64_t sorted_p95(const Array &p_sorted) {
	const int64_t rank = p95_rank(p_sorted.size());
	if (rank == 0) {
		return 0;
	}
	return int64_t(p_sorted[rank - 1]);
}

} // namespace veltrin
