#pragma once

#include "native/search.hpp"

#include <cstdint>
#include <vector>

// An in-memory graph whose lookup records every node it is asked for.
struct LoggedGraph {
	std::vector<std::vector<veltrin_native::Edge>> edges;
	std::vector<int64_t> calls;

	explicit LoggedGraph(size_t p_node_count) :
	        edges(p_node_count) {}

	void add(int64_t p_from, int64_t p_to, int64_t p_cost) {
		edges[static_cast<size_t>(p_from)].push_back(veltrin_native::Edge { p_to, p_cost });
	}

	int64_t node_count() const { return static_cast<int64_t>(edges.size()); }

	veltrin_native::Result search(int64_t p_start, const std::vector<int64_t> &p_goals) {
		return veltrin_native::search(node_count(), p_start, p_goals,
		        [this](int64_t p_node) -> const std::vector<veltrin_native::Edge> & {
			        calls.push_back(p_node);
			        return edges[static_cast<size_t>(p_node)];
		        });
	}
};
