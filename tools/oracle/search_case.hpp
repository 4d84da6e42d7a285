#pragma once

#include <cstdint>
#include <vector>

namespace veltrin_oracle {

// An edge as a case stores it; each search gets copies in its own Edge type.
struct GraphEdge {
	int64_t target = -1;
	int64_t cost = 0;
};

// One generated search: the arguments of a search call and the graph behind
// its edge lookup, one edge list per node 0..node_count-1.
struct SearchCase {
	int64_t node_count = 0;
	int64_t start = 0;
	std::vector<int64_t> goals;
	std::vector<std::vector<GraphEdge>> edges;
};

} // namespace veltrin_oracle
