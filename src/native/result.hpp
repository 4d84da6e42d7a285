#pragma once

#include "native/kernel_namespace.hpp"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace VELTRIN_NATIVE_NAMESPACE {

constexpr int64_t UNREACHED_COST = std::numeric_limits<int64_t>::max();
constexpr int64_t NO_PARENT = -1;

constexpr const char *STATUS_USABLE = "usable";
constexpr const char *STATUS_UNUSABLE = "unusable";
constexpr const char *STATUS_WRAPPED = "wrapped";

// The whole record of one search; the caller owns it.
// When status is not "usable" the lists hold whatever was built before the
// stop and only status is meaningful.
struct Result {
	// "usable", "unusable" (bad start or bad edge) or "wrapped" (cost overflow).
	std::string status = STATUS_USABLE;
	// Per node: best known cost from the start, UNREACHED_COST when unreached.
	std::vector<int64_t> cost_values;
	// Per node: the node the best cost came through, NO_PARENT for none.
	std::vector<int64_t> parent_indices;
	// The start, then each node when it first gets a parent.
	std::vector<int64_t> discovered;
	// Each node when it first gets a parent.
	std::vector<int64_t> parent_discovered;
	// Nodes in the order they were settled.
	std::vector<int64_t> settled;
};

} // namespace VELTRIN_NATIVE_NAMESPACE
