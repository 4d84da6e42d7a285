#include "kernel_seeds.hpp"

#include "oracle/case_generation.hpp"

#include <cstdio>
#include <fstream>
#include <limits>

namespace veltrin_fuzz {

namespace {

using veltrin_oracle::GraphEdge;
using veltrin_oracle::SearchCase;

constexpr int64_t MAX_VALUE = std::numeric_limits<int64_t>::max();
constexpr int64_t MIN_VALUE = std::numeric_limits<int64_t>::min();

SearchCase make_case(int64_t p_node_count, int64_t p_start, std::vector<int64_t> p_goals) {
	SearchCase search_case;
	search_case.node_count = p_node_count;
	search_case.start = p_start;
	search_case.goals = std::move(p_goals);
	if (p_node_count > 0 && p_node_count <= MAX_FUZZ_NODES) {
		search_case.edges.resize(static_cast<size_t>(p_node_count));
	}
	return search_case;
}

void add_edge(SearchCase &r_case, int64_t p_from, int64_t p_to, int64_t p_cost) {
	r_case.edges[static_cast<size_t>(p_from)].push_back(GraphEdge { p_to, p_cost });
}

// A width x height grid, node y * width + x. p_cost(from, to) gives each edge's
// cost; four neighbours, or only right and down when p_forward_only.
template <typename Cost>
SearchCase grid(int64_t p_width, int64_t p_height, int64_t p_start, std::vector<int64_t> p_goals, Cost p_cost,
        bool p_forward_only = false) {
	SearchCase search_case = make_case(p_width * p_height, p_start, std::move(p_goals));
	for (int64_t y = 0; y < p_height; y++) {
		for (int64_t x = 0; x < p_width; x++) {
			const int64_t node = y * p_width + x;
			const int64_t neighbours[4][2] = { { x + 1, y }, { x, y + 1 }, { x - 1, y }, { x, y - 1 } };
			for (int i = 0; i < (p_forward_only ? 2 : 4); i++) {
				const int64_t nx = neighbours[i][0];
				const int64_t ny = neighbours[i][1];
				if (nx >= 0 && nx < p_width && ny >= 0 && ny < p_height) {
					const int64_t target = ny * p_width + nx;
					add_edge(search_case, node, target, p_cost(node, target));
				}
			}
		}
	}
	return search_case;
}

int64_t unit_cost(int64_t, int64_t) {
	return 1;
}

int64_t mixed_cost(int64_t p_from, int64_t p_to) {
	return (p_from * 7 + p_to * 3) % 9 + 1;
}

void add(std::vector<std::pair<std::string, GraphInput>> &r_seeds, const std::string &p_name, const SearchCase &p_case,
        bool p_by_reference = false) {
	r_seeds.emplace_back(p_name, GraphInput::from_search_case(p_case, p_by_reference));
}

void add_oracle_samples(std::vector<std::pair<std::string, GraphInput>> &r_seeds) {
	const std::vector<SearchCase> exhaustive = veltrin_oracle::exhaustive_cases();
	// Masks 0 (no edges), 0x0a6 (a cycle), 0x1ff (every edge and self-loop);
	// each from start 1 with no goals, goal 0, and all goals.
	for (const size_t mask : { 0, 0x0a6, 0x1ff }) {
		for (const size_t goal_mask : { 0, 1, 7 }) {
			const size_t index = (mask * 3 + 1) * 8 + goal_mask;
			add(r_seeds, "oracle_exhaustive_" + std::to_string(index), exhaustive[index], goal_mask == 7);
		}
	}
	const std::vector<SearchCase> random = veltrin_oracle::random_cases();
	// 0 is also a multiple of 31 (costs 2^63-1); 23, 29 and 31 the bad costs.
	for (const size_t number : { 0, 1, 2, 3, 5, 23, 29, 31, 62 }) {
		add(r_seeds, "oracle_random_" + std::to_string(number), random[number], number % 2 == 1);
	}
	const std::vector<SearchCase> fixed = veltrin_oracle::fixed_cases();
	for (size_t i = 0; i < fixed.size(); i++) {
		add(r_seeds, "oracle_fixed_" + std::to_string(i), fixed[i]);
	}
}

void add_grids(std::vector<std::pair<std::string, GraphInput>> &r_seeds) {
	add(r_seeds, "grid_8x8_unit", grid(8, 8, 0, { 63 }, unit_cost));
	add(r_seeds, "grid_8x8_unit_middle_start", grid(8, 8, 27, { 0, 7, 56, 63 }, unit_cost), true);
	add(r_seeds, "grid_6x6_mixed_duplicate_goals", grid(6, 6, 0, { 35, 35, 20, 35 }, mixed_cost));
	add(r_seeds, "grid_6x6_mixed_all_reachable", grid(6, 6, 14, { -1 }, mixed_cost), true);
	add(r_seeds, "grid_20x20_forward", grid(20, 20, 0, { 399 }, mixed_cost, true));
	add(r_seeds, "grid_4x4_zero_cost", grid(4, 4, 0, { 15 }, [](int64_t p_from, int64_t p_to) {
		return p_from == 5 && p_to == 6 ? 0 : 1;
	}));
	add(r_seeds, "grid_4x4_negative_cost", grid(4, 4, 0, { 15 }, [](int64_t p_from, int64_t) {
		return p_from == 10 ? -4 : 2;
	}),
	        true);
	SearchCase bad_targets = grid(4, 4, 0, { 15 }, unit_cost);
	add_edge(bad_targets, 9, 16, 1);
	add_edge(bad_targets, 6, -1, 1);
	add_edge(bad_targets, 11, MIN_VALUE, 1);
	add(r_seeds, "grid_4x4_out_of_range_targets", bad_targets);
	// The goal list's out-of-range entries keep the search going to the end.
	add(r_seeds, "grid_5x5_out_of_range_goals", grid(5, 5, 12, { 25, 3, -1, MAX_VALUE }, mixed_cost));
}

void add_edge_values(std::vector<std::pair<std::string, GraphInput>> &r_seeds) {
	SearchCase wrap = make_case(3, 0, { 2 });
	add_edge(wrap, 0, 1, MAX_VALUE - 7);
	add_edge(wrap, 1, 2, 10);
	add(r_seeds, "wrap_near_max", wrap);

	// A route of exactly 2^63-1 is no improvement on the unreached marker.
	SearchCase exact = make_case(4, 0, { 3 });
	add_edge(exact, 0, 1, MAX_VALUE / 2);
	add_edge(exact, 1, 2, MAX_VALUE / 2);
	add_edge(exact, 2, 3, 1);
	add_edge(exact, 0, 2, MAX_VALUE - 1);
	add(r_seeds, "sum_exactly_max", exact, true);

	SearchCase big_costs = make_case(5, 4, { 0, 1 });
	add_edge(big_costs, 4, 3, int64_t(1) << 62);
	add_edge(big_costs, 4, 2, (int64_t(1) << 62) - 1);
	add_edge(big_costs, 2, 1, int64_t(1) << 62);
	add_edge(big_costs, 3, 1, (int64_t(1) << 62) - 1);
	add_edge(big_costs, 3, 0, MIN_VALUE);
	add(r_seeds, "costs_near_2_62", big_costs);

	// Parents 7 and 3 reach node 8 at equal cost, 7 relaxed first.
	SearchCase ties = make_case(9, 0, { 8 });
	add_edge(ties, 0, 7, 1);
	add_edge(ties, 0, 3, 2);
	add_edge(ties, 7, 8, 3);
	add_edge(ties, 3, 8, 2);
	add_edge(ties, 7, 3, 1);
	add(r_seeds, "equal_cost_parents", ties, true);

	// More than the queue's radix-sort threshold of nodes at one cost.
	SearchCase wide = make_case(202, 0, { 201 });
	for (int64_t node = 1; node <= 200; node++) {
		add_edge(wide, 0, 201 - node, 1);
		add_edge(wide, node, 201, node % 3 + 1);
	}
	add(r_seeds, "wide_front", wide);
}

void add_bad_arguments(std::vector<std::pair<std::string, GraphInput>> &r_seeds) {
	SearchCase chain = make_case(3, 0, { 2 });
	add_edge(chain, 0, 1, 1);
	add_edge(chain, 1, 2, 1);
	for (const int64_t start : { int64_t(3), int64_t(-1), MAX_VALUE, MIN_VALUE }) {
		SearchCase bad_start = chain;
		bad_start.start = start;
		add(r_seeds, "bad_start_" + std::to_string(start), bad_start);
	}
	add(r_seeds, "empty_graph", make_case(0, 0, {}));
	add(r_seeds, "negative_node_count", make_case(-5, 0, { 0 }));
	add(r_seeds, "no_goals", chain, true);
	SearchCase goal_is_start = chain;
	goal_is_start.goals = { 0, 0 };
	add(r_seeds, "goal_is_start", goal_is_start);
	// Counts no vector can hold: an allocation failure before any allocation.
	add(r_seeds, "unaddressable_node_count", make_case(int64_t(1) << 62, 0, { 1 }));
	add(r_seeds, "max_node_count", make_case(MAX_VALUE, 5, {}));
}

} // namespace

std::vector<std::pair<std::string, GraphInput>> kernel_seeds() {
	std::vector<std::pair<std::string, GraphInput>> seeds;
	add_oracle_samples(seeds);
	add_grids(seeds);
	add_edge_values(seeds);
	add_bad_arguments(seeds);
	return seeds;
}

bool write_kernel_seeds(const std::string &p_dir) {
	for (const auto &[name, input] : kernel_seeds()) {
		const std::optional<std::vector<uint8_t>> bytes = encode_graph_input(input);
		if (!bytes || !same_graph_input(decode_graph_input(bytes->data(), bytes->size()), input)) {
			std::fprintf(stderr, "seed %s does not survive encoding\n", name.c_str());
			return false;
		}
		std::ofstream file(p_dir + "/" + name, std::ios::binary | std::ios::trunc);
		file.write(reinterpret_cast<const char *>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
		file.close();
		if (!file) {
			std::fprintf(stderr, "cannot write %s/%s\n", p_dir.c_str(), name.c_str());
			return false;
		}
	}
	return true;
}

} // namespace veltrin_fuzz
