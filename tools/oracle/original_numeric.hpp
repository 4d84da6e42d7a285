#pragma once

// The reference search the kernel is checked against. Same contract, checks,
// stop rule and record as the kernel, but a deliberately different queue: an
// ordered map from cost to the nodes pushed at that cost, each bucket sorted
// when taken out. Written for plainness, not speed: it is the yardstick.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace original_numeric {

struct Edge {
	int64_t target = -1;
	int64_t cost = 0;
};

inline int64_t signed_add(int64_t p_a, int64_t p_b) {
	// Unsigned arithmetic wraps without undefined behaviour.
	return static_cast<int64_t>(static_cast<uint64_t>(p_a) + static_cast<uint64_t>(p_b));
}

struct Result {
	std::string status;
	std::vector<int64_t> cost_values;
	std::vector<int64_t> parent_indices;
	std::vector<int64_t> discovered;
	std::vector<int64_t> parent_discovered;
	std::vector<int64_t> settled;
};

template <typename EdgesOf>
Result search(int64_t p_node_count, int64_t p_start, const std::vector<int64_t> &p_goals, EdgesOf &&p_edges_of) {
	constexpr int64_t UNREACHED = std::numeric_limits<int64_t>::max();
	Result record;
	record.status = "usable";
	if (p_start < 0 || p_start >= p_node_count) {
		record.status = "unusable";
		return record;
	}
	const size_t node_count = static_cast<size_t>(p_node_count);
	record.cost_values.assign(node_count, UNREACHED);
	record.parent_indices.assign(node_count, -1);
	std::vector<bool> done(node_count, false);
	std::vector<bool> wanted(node_count, false);

	int64_t goals_pending = 0;
	bool goal_out_of_range = false;
	for (const int64_t goal : p_goals) {
		if (goal < 0 || goal >= p_node_count) {
			goal_out_of_range = true;
		} else if (!wanted[goal]) {
			wanted[goal] = true;
			goals_pending++;
		}
	}

	record.cost_values[p_start] = 0;
	record.discovered.push_back(p_start);
	std::map<int64_t, std::vector<int64_t>> buckets;
	buckets[0].push_back(p_start);

	while (!buckets.empty()) {
		const auto lowest = buckets.begin();
		const int64_t bucket_cost = lowest->first;
		std::vector<int64_t> nodes = std::move(lowest->second);
		buckets.erase(lowest);
		std::sort(nodes.begin(), nodes.end());

		for (const int64_t node : nodes) {
			if (done[node] || record.cost_values[node] != bucket_cost) {
				continue;
			}
			done[node] = true;
			record.settled.push_back(node);
			if (wanted[node]) {
				wanted[node] = false;
				goals_pending--;
			}
			if (goals_pending == 0 && !goal_out_of_range) {
				return record;
			}
			for (const auto &edge : p_edges_of(node)) {
				if (edge.cost <= 0) {
					record.status = "unusable";
					return record;
				}
				if (edge.target < 0 || edge.target >= p_node_count) {
					record.status = "unusable";
					return record;
				}
				const int64_t sum = signed_add(bucket_cost, edge.cost);
				if (sum < bucket_cost) {
					record.status = "wrapped";
					return record;
				}
				const int64_t old = record.cost_values[edge.target];
				if (sum > old) {
					continue;
				}
				if (sum == old && record.parent_indices[edge.target] <= node) {
					continue;
				}
				if (record.parent_indices[edge.target] == -1) {
					record.parent_discovered.push_back(edge.target);
					record.discovered.push_back(edge.target);
				}
				record.parent_indices[edge.target] = node;
				record.cost_values[edge.target] = sum;
				buckets[sum].push_back(edge.target);
			}
		}
	}
	return record;
}

} // namespace original_numeric
