#pragma once

#include "graph_input.hpp"

#include <string>
#include <utility>
#include <vector>

namespace veltrin_fuzz {

// Named starting graphs: a sample of the oracle's own cases, grids with ties,
// bad costs and targets, bad starts, duplicate and out-of-range goals, sums
// near 2^63, unaddressable node counts and fronts wide enough for the queue's
// radix sort.
std::vector<std::pair<std::string, GraphInput>> kernel_seeds();

// Writes each seed to <dir>/<name> after checking that it decodes back to
// itself. False, with a message on stderr, when a seed does not.
bool write_kernel_seeds(const std::string &p_dir);

} // namespace veltrin_fuzz
