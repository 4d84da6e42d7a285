#include "bench_graphs.hpp"

#include <random>

namespace {

constexpr uint64_t MAX_EDGE_COST = 12;

int64_t draw_cost(std::mt19937_64 &p_random) {
	return static_cast<int64_t>(p_random() % MAX_EDGE_COST) + 1;
}

void add_isolated_goal(BenchGraph &r_graph) {
	r_graph.goals = { r_graph.node_count };
	r_graph.node_count++;
	r_graph.offsets.push_back(r_graph.targets.size());
}

} // namespace

BenchGraph grid_graph(int64_t p_side, uint64_t p_seed, bool p_unreachable_goal) {
	std::mt19937_64 random(p_seed);
	BenchGraph graph;
	graph.name = p_unreachable_goal ? "grid_all_settle" : "grid_far_goal";
	graph.node_count = p_side * p_side;
	graph.offsets.reserve(static_cast<size_t>(graph.node_count) + 2);
	graph.offsets.push_back(0);
	const int64_t steps[4][2] = { { 0, -1 }, { -1, 0 }, { 1, 0 }, { 0, 1 } };
	for (int64_t y = 0; y < p_side; y++) {
		for (int64_t x = 0; x < p_side; x++) {
			for (const auto &step : steps) {
				const int64_t to_x = x + step[0];
				const int64_t to_y = y + step[1];
				if (to_x >= 0 && to_x < p_side && to_y >= 0 && to_y < p_side) {
					graph.targets.push_back(to_y * p_side + to_x);
					graph.costs.push_back(draw_cost(random));
				}
			}
			graph.offsets.push_back(graph.targets.size());
		}
	}
	graph.start = 0;
	if (p_unreachable_goal) {
		add_isolated_goal(graph);
	} else {
		graph.goals = { graph.node_count - 1 };
	}
	return graph;
}

BenchGraph sparse_graph(int64_t p_node_count, uint64_t p_seed) {
	std::mt19937_64 random(p_seed);
	BenchGraph graph;
	graph.name = "sparse_" + std::to_string(p_node_count);
	graph.node_count = p_node_count;
	graph.offsets.reserve(static_cast<size_t>(p_node_count) + 2);
	graph.offsets.push_back(0);
	for (int64_t node = 0; node < p_node_count; node++) {
		const uint64_t degree = 1 + random() % 7;
		for (uint64_t i = 0; i < degree; i++) {
			graph.targets.push_back(static_cast<int64_t>(random() % static_cast<uint64_t>(p_node_count)));
			graph.costs.push_back(draw_cost(random));
		}
		graph.offsets.push_back(graph.targets.size());
	}
	graph.start = 0;
	add_isolated_goal(graph);
	return graph;
}
