#pragma once

// The arithmetic of a metric's report, on plain 64-bit integers: lifetime totals that wrap
// instead of overflowing, the lifetime average, the nearest-rank 95th percentile and the
// value the budget is compared against.

#include <cstdint>

namespace veltrin {

// Aggregation values of a metric's budget; any other value selects the percentile.
constexpr int64_t AGGREGATION_AVERAGE = 0;
constexpr int64_t AGGREGATION_MAXIMUM = 2;

// Two's-complement addition, as the game's scripts do it.
int64_t wrapping_add(int64_t p_a, int64_t p_b);

// new_total / new_count truncated toward zero, where new_count = p_stored_count + 1; 0 when
// that count would not be positive (a stored count below 0 or at the largest value).
int64_t lifetime_average(int64_t p_new_total, int64_t p_stored_count);

// 1-based nearest rank of the 95th percentile among p_count sorted values (95% rounded up,
// kept within 1..p_count); 0 for no values. p_count is a container size.
int64_t p95_rank(int64_t p_count);

// What the budget's limit is compared with, by aggregation.
int64_t measured_value(int64_t p_aggregation, int64_t p_average, int64_t p_maximum, int64_t p_p95);

// A limit of 0 or below disables the test.
bool budget_exceeded(int64_t p_limit, int64_t p_measured);

} // namespace veltrin
