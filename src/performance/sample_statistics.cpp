#include "performance/sample_statistics.hpp"

#include <limits>

namespace veltrin {

int64_t wrapping_add(int64_t p_a, int64_t p_b) {
	return static_cast<int64_t>(static_cast<uint64_t>(p_a) + static_cast<uint64_t>(p_b));
}

int64_t lifetime_average(int64_t p_new_total, int64_t p_stored_count) {
	if (p_stored_count < 0 || p_stored_count == std::numeric_limits<int64_t>::max()) {
		return 0;
	}
	// The divisor is at least 1, so neither a zero divisor nor INT64_MIN / -1 can occur.
	return p_new_total / (p_stored_count + 1);
}

int64_t p95_rank(int64_t p_count) {
	if (p_count <= 0) {
		return 0;
	}
	int64_t rank = (95 * p_count + 99) / 100;
	if (rank < 1) {
		rank = 1;
	}
	if (rank > p_count) {
		rank = p_count;
	}
	return rank;
}

int64_t measured_value(int64_t p_aggregation, int64_t p_average, int64_t p_maximum, int64_t p_p95) {
	if (p_aggregation == AGGREGATION_AVERAGE) {
		return p_average;
	}
	if (p_aggregation == AGGREGATION_MAXIMUM) {
		return p_maximum;
	}
	return p_p95;
}

bool budget_exceeded(int64_t p_limit, int64_t p_measured) {
	return p_limit > 0 && p_measured > p_limit;
}

} // namespace veltrin
