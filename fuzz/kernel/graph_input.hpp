#pragma once

// The byte format the kernel fuzzer reads a search case from, and its inverse
// for writing seeds. Compact tags cover the common values (small indices,
// costs 1..16 that tie often) and every tag range also has exact forms, so
// any case the oracle can hold has an encoding and libFuzzer's mutations land
// on values near 0, the node count and 2^63 often.
//
//   flags, node count, start, goal count, goals..., then per node from 0:
//   an edge list (plain edges or one run of evenly spaced targets).
// The input may end at any node: the remaining nodes have no edges.

#include "oracle/search_case.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace veltrin_fuzz {

// The search arrays are sized by the node count, so decoded graphs stay small
// enough for many runs a second; a larger count is kept only where the search
// never allocates (see kernel_differential_fuzzer.cpp).
constexpr int64_t MAX_FUZZ_NODES = 1024;
// Edges decoded per input: runs could otherwise turn a 4 KB input into
// millions of edges and slow every execution down.
constexpr size_t MAX_FUZZ_EDGES = 4096;

// A decoded case with its edges in one block (node v's edges are
// edges[edge_starts[v]..edge_starts[v + 1]), nodes past the end have none):
// a handful of allocations per input instead of one per node.
struct GraphInput {
	// Hands the kernel its edges by reference instead of by value.
	bool edges_by_reference = false;
	int64_t node_count = 0;
	int64_t start = 0;
	std::vector<int64_t> goals;
	std::vector<veltrin_oracle::GraphEdge> edges;
	std::vector<size_t> edge_starts = { 0 };

	size_t listed_nodes() const { return edge_starts.size() - 1; }

	// For reports and seeds, in the oracle's own form.
	veltrin_oracle::SearchCase to_search_case() const;
	static GraphInput from_search_case(const veltrin_oracle::SearchCase &p_case, bool p_edges_by_reference);
};

GraphInput decode_graph_input(const uint8_t *p_data, size_t p_size);

// Bytes that decode back to exactly this input (edge lists of trailing nodes
// that are empty may be dropped); none when a list is too long to encode.
std::optional<std::vector<uint8_t>> encode_graph_input(const GraphInput &p_input);

// Equal searches: the same arguments and the same edges for every node.
bool same_graph_input(const GraphInput &p_a, const GraphInput &p_b);

} // namespace veltrin_fuzz
