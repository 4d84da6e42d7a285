// The oracle must be able to fail: a search that takes equal costs in push
// order instead of node order is plugged into the same checking code.

#include "oracle/case_generation.hpp"
#include "oracle/differential_check.hpp"
#include "oracle/oracle_program.hpp"
#include "oracle/record_text.hpp"
#include "oracle/search_records.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <limits>
#include <queue>
#include <sstream>
#include <tuple>

namespace broken_numeric {

struct Edge {
	int64_t target = -1;
	int64_t cost = 0;
};

struct Result {
	std::string status = "usable";
	std::vector<int64_t> cost_values, parent_indices, discovered, parent_discovered, settled;
};

// Correct in every respect but the queue order among equal costs.
template <typename EdgesOf>
Result search(int64_t p_node_count, int64_t p_start, const std::vector<int64_t> &p_goals, EdgesOf &&p_edges_of) {
	Result result;
	if (p_start < 0 || p_start >= p_node_count) {
		result.status = "unusable";
		return result;
	}
	const size_t n = static_cast<size_t>(p_node_count);
	result.cost_values.assign(n, std::numeric_limits<int64_t>::max());
	result.parent_indices.assign(n, -1);
	std::vector<bool> settled(n), goal(n);
	int64_t pending = 0;
	bool bad_goal = false;
	for (const int64_t g : p_goals) {
		if (g < 0 || g >= p_node_count) {
			bad_goal = true;
		} else if (!goal[g]) {
			goal[g] = true;
			pending++;
		}
	}
	using Item = std::tuple<int64_t, uint64_t, int64_t>; // cost, push number, node
	std::priority_queue<Item, std::vector<Item>, std::greater<Item>> queue;
	uint64_t pushes = 0;
	result.cost_values[p_start] = 0;
	result.discovered.push_back(p_start);
	queue.emplace(0, pushes++, p_start);
	while (!queue.empty()) {
		const auto [cost, order, node] = queue.top();
		queue.pop();
		if (settled[node] || cost != result.cost_values[node]) {
			continue;
		}
		settled[node] = true;
		result.settled.push_back(node);
		if (goal[node]) {
			goal[node] = false;
			pending--;
		}
		if (pending == 0 && !bad_goal) {
			return result;
		}
		for (const Edge &edge : p_edges_of(node)) {
			if (edge.cost <= 0 || edge.target < 0 || edge.target >= p_node_count) {
				result.status = "unusable";
				return result;
			}
			const int64_t sum = static_cast<int64_t>(static_cast<uint64_t>(cost) + static_cast<uint64_t>(edge.cost));
			if (sum < cost) {
				result.status = "wrapped";
				return result;
			}
			const int64_t old = result.cost_values[edge.target];
			if (sum > old || (sum == old && result.parent_indices[edge.target] <= node)) {
				continue;
			}
			if (result.parent_indices[edge.target] == -1) {
				result.parent_discovered.push_back(edge.target);
				result.discovered.push_back(edge.target);
			}
			result.parent_indices[edge.target] = node;
			result.cost_values[edge.target] = sum;
			queue.emplace(sum, pushes++, edge.target);
		}
	}
	return result;
}

} // namespace broken_numeric

namespace {

using namespace veltrin_oracle;

std::string broken_record(const SearchCase &p_case) {
	return search_record<broken_numeric::Edge>(p_case, [](auto &&...p_arguments) {
		return broken_numeric::search(std::forward<decltype(p_arguments)>(p_arguments)...);
	});
}

TEST(BrokenCandidate, EqualCostsInPushOrderFailTheEqualRouteCase) {
	const std::vector<SearchCase> cases = fixed_cases();
	EXPECT_EQ(broken_record(cases[1]), "usable|0,1,1,3,|-1,0,0,1,|0,2,1,3,|2,1,3,|0,2,1,3,|0,2,1,3,");

	std::ostringstream out;
	const CheckSummary summary = run_differential(cases, reference_record, broken_record, out);
	EXPECT_FALSE(summary.pass);
	// The failing case is written like every other and later cases still run.
	EXPECT_EQ(summary.case_count, 4u);
	const std::string written = out.str();
	EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 4);
	EXPECT_EQ(verdict_line(summary), "NUMERIC_DIFFERENTIAL 4 FAIL\n");
}

TEST(BrokenCandidate, SameSearchOnBothSidesPasses) {
	const std::vector<SearchCase> cases = fixed_cases();
	std::ostringstream out;
	const CheckSummary summary = run_differential(cases, broken_record, broken_record, out);
	EXPECT_TRUE(summary.pass);
	EXPECT_EQ(verdict_line(summary), "NUMERIC_DIFFERENTIAL 4 PASS\n");
}

TEST(BrokenCandidate, WholeProgramPrintsFailAndExitsWithOne) {
	const std::string path = testing::TempDir() + "oracle_broken_candidate.txt";
	const char *argv[] = { "oracle", path.c_str() };
	std::ostringstream console;
	EXPECT_EQ(run_oracle(2, argv, console, broken_record), 1);
	EXPECT_EQ(console.str(), "NUMERIC_DIFFERENTIAL 16388 FAIL\n");

	std::ifstream written(path);
	std::string line;
	size_t lines = 0;
	bool differing_line_seen = false;
	while (std::getline(written, line)) {
		const size_t candidate_tab = line.rfind('\t');
		const size_t reference_tab = line.rfind('\t', candidate_tab - 1);
		const std::string reference = line.substr(reference_tab + 1, candidate_tab - reference_tab - 1);
		differing_line_seen = differing_line_seen || reference != line.substr(candidate_tab + 1);
		lines++;
	}
	EXPECT_EQ(lines, 16388u);
	EXPECT_TRUE(differing_line_seen);
	std::remove(path.c_str());
}

} // namespace
