#pragma once

// Graphs for the search benchmarks, in compressed rows so the edge lookup is a
// cheap span and the measured time is the search's own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct BenchGraph {
	std::string name;
	int64_t node_count = 0;
	int64_t start = 0;
	std::vector<int64_t> goals;
	// Edges of node v are rows offsets[v] .. offsets[v + 1] - 1.
	std::vector<size_t> offsets;
	std::vector<int64_t> targets;
	std::vector<int64_t> costs;
};

// Four-neighbour grid of p_side x p_side nodes, each directed edge costing
// 1..12. With p_unreachable_goal an isolated extra node is the goal, so the
// whole grid settles; otherwise the goal is the corner opposite the start.
BenchGraph grid_graph(int64_t p_side, uint64_t p_seed, bool p_unreachable_goal);

// p_node_count nodes with 1..7 edges each (4 on average) to uniform random
// targets, costs 1..12, and an isolated extra goal node so everything settles.
BenchGraph sparse_graph(int64_t p_node_count, uint64_t p_seed);

// The lookup both searches get: a view of one node's rows in their Edge type.
template <typename Edge>
struct EdgeSpan {
	const Edge *first;
	const Edge *last;
	const Edge *begin() const { return first; }
	const Edge *end() const { return last; }
};

template <typename Edge>
struct TypedGraph {
	const BenchGraph *graph = nullptr;
	std::vector<Edge> edges;

	explicit TypedGraph(const BenchGraph &p_graph) :
	        graph(&p_graph) {
		edges.reserve(p_graph.targets.size());
		for (size_t i = 0; i < p_graph.targets.size(); i++) {
			edges.push_back(Edge { p_graph.targets[i], p_graph.costs[i] });
		}
	}

	EdgeSpan<Edge> operator()(int64_t p_node) const {
		const size_t node = static_cast<size_t>(p_node);
		return EdgeSpan<Edge> { edges.data() + graph->offsets[node], edges.data() + graph->offsets[node + 1] };
	}
};
