// The kernel fuzzer's input format: every case the oracle can hold must
// survive encoding (the checked-in seeds are written that way), and no input
// may decode to more than the bounded graph a run can afford.

#include "graph_input.hpp"

#include "oracle/case_generation.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace {

using veltrin_fuzz::decode_graph_input;
using veltrin_fuzz::encode_graph_input;
using veltrin_fuzz::GraphInput;
using veltrin_oracle::GraphEdge;
using veltrin_oracle::SearchCase;

constexpr int64_t MAX = std::numeric_limits<int64_t>::max();
constexpr int64_t MIN = std::numeric_limits<int64_t>::min();

void expect_round_trip(const SearchCase &p_case, bool p_by_reference) {
	const GraphInput input = GraphInput::from_search_case(p_case, p_by_reference);
	const auto bytes = encode_graph_input(input);
	ASSERT_TRUE(bytes.has_value());
	const GraphInput decoded = decode_graph_input(bytes->data(), bytes->size());
	EXPECT_TRUE(veltrin_fuzz::same_graph_input(decoded, input)) << p_case.node_count << "," << p_case.start;
}

TEST(KernelFuzzInput, EveryOracleCaseSurvivesEncoding) {
	const std::vector<SearchCase> cases = veltrin_oracle::all_cases();
	for (size_t i = 0; i < cases.size(); i++) {
		expect_round_trip(cases[i], i % 2 == 1);
	}
}

TEST(KernelFuzzInput, WideValuesAndLargeGraphsSurviveEncoding) {
	// Node counts on both sides of each tag form's range, with values around
	// them and around the 64-bit limits.
	for (const int64_t node_count : { int64_t(0), int64_t(221), int64_t(222), int64_t(223), int64_t(224),
	             int64_t(1024), int64_t(1025), int64_t(65534), MAX, MIN, int64_t(-1) }) {
		const int64_t last = node_count == MIN ? MAX : node_count - 1;
		SearchCase search_case;
		search_case.node_count = node_count;
		search_case.start = node_count;
		search_case.goals = { -1, 0, node_count, last, 222, 223, 65534, 65535, MAX, MIN, -2 };
		if (node_count > 0 && node_count <= 1024) {
			search_case.edges.resize(static_cast<size_t>(node_count));
			for (const int64_t cost : { int64_t(0), int64_t(-1), int64_t(1), int64_t(16), int64_t(17), MAX, MIN }) {
				search_case.edges.front().push_back(GraphEdge { last, cost });
				search_case.edges.back().push_back(GraphEdge { -1, cost });
			}
			for (size_t edge = 0; edge < 200; edge++) {
				search_case.edges[search_case.edges.size() / 2].push_back(GraphEdge { node_count, 3 });
			}
		}
		expect_round_trip(search_case, node_count % 2 == 0);
	}
}

TEST(KernelFuzzInput, ArbitraryBytesDecodeToBoundedGraphs) {
	std::mt19937_64 random(7);
	std::vector<uint8_t> bytes;
	for (int round = 0; round < 2000; round++) {
		bytes.resize(random() % 4097);
		for (uint8_t &byte : bytes) {
			// Tag bytes from the top of the range, where counts and runs live.
			byte = static_cast<uint8_t>(random() % 3 == 0 ? 0xe0 + random() % 32 : random());
		}
		const GraphInput input = decode_graph_input(bytes.data(), bytes.size());
		ASSERT_LE(input.listed_nodes(), static_cast<size_t>(veltrin_fuzz::MAX_FUZZ_NODES));
		ASSERT_LE(input.edges.size(), veltrin_fuzz::MAX_FUZZ_EDGES);
		ASSERT_EQ(input.edge_starts.back(), input.edges.size());
		if (input.node_count >= 0) {
			ASSERT_LE(static_cast<int64_t>(input.listed_nodes()), input.node_count);
		} else {
			ASSERT_EQ(input.listed_nodes(), 0u);
		}
	}
}

} // namespace
