#pragma once

// The cases the oracle runs, in their fixed order: every small graph, then a
// seeded random set, then four hand-made cases.

#include "oracle/search_case.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace veltrin_oracle {

constexpr size_t EXHAUSTIVE_CASE_COUNT = 12288;
constexpr size_t RANDOM_CASE_COUNT = 4096;
constexpr size_t FIXED_CASE_COUNT = 4;
constexpr size_t CASE_COUNT = EXHAUSTIVE_CASE_COUNT + RANDOM_CASE_COUNT + FIXED_CASE_COUNT;
constexpr uint64_t RANDOM_CASE_SEED = 0x56454C54333238;

// Three nodes; every edge mask 0..511 (bit k: edge k/3 -> k%3 of cost 1),
// every start 0..2, every goal mask 0..7, in that loop order.
std::vector<SearchCase> exhaustive_cases();

// Up to 24 nodes drawn from one MT19937-64 seeded with RANDOM_CASE_SEED, with
// out-of-range targets, goals and starts, and whole cases of bad costs.
std::vector<SearchCase> random_cases();

// Overflowing edge, equal-cost routes, empty graph, start out of range.
std::vector<SearchCase> fixed_cases();

// All of the above in order: CASE_COUNT cases.
std::vector<SearchCase> all_cases();

} // namespace veltrin_oracle
