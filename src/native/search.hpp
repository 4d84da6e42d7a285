#pragma once

// Shortest routes over nodes 0..node_count-1 whose outgoing edges are fetched
// on demand. Dijkstra with lazy deletion; stops once every goal is settled.
//
//   Result result = veltrin_native::search(node_count, start, goals, edges_of);
//
// - goals may hold duplicates (counted once) and out-of-range entries (which
//   make the search run until the queue is empty).
// - edges_of(node) returns any range of Edge (a vector by value or by const
//   reference, a span, ...). It is called at most once per settled node, only
//   for expanded nodes, and its range is fully read before the next call, so
//   the range only has to stay valid until then. Bad edges are reported in
//   the status, not thrown.
// - Throws std::bad_alloc when the per-node arrays or the queue cannot be
//   allocated (also for a node_count too large to address), plus whatever
//   edges_of throws; nothing else. Callers that must not throw catch around it.
// - No shared state: concurrent runs are safe with separate edges_of.

#include "native/edge.hpp"
#include "native/kernel_namespace.hpp"
#include "native/result.hpp"
#include "native/search_queue.hpp"

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace VELTRIN_NATIVE_NAMESPACE {

template <typename EdgesOf>
Result search(int64_t p_node_count, int64_t p_start, const std::vector<int64_t> &p_goals, EdgesOf &&p_edges_of) {
	Result result;
	if (p_start < 0 || p_start >= p_node_count) {
		result.status = STATUS_UNUSABLE;
		return result;
	}
	// A count beyond what a vector can hold would raise length_error; callers
	// are promised allocation failures only.
	if (static_cast<uint64_t>(p_node_count) > result.cost_values.max_size()) {
		throw std::bad_alloc();
	}
	const size_t node_count = static_cast<size_t>(p_node_count);
	std::vector<int64_t> &costs = result.cost_values;
	std::vector<int64_t> &parents = result.parent_indices;
	costs.assign(node_count, UNREACHED_COST);
	parents.assign(node_count, NO_PARENT);
	std::vector<uint8_t> settled(node_count, 0);
	std::vector<uint8_t> is_goal(node_count, 0);

	size_t goals_left = 0;
	bool invalid_goal = false;
	for (const int64_t goal : p_goals) {
		if (goal < 0 || goal >= p_node_count) {
			invalid_goal = true;
		} else if (!is_goal[goal]) {
			is_goal[goal] = 1;
			goals_left++;
		}
	}

	costs[p_start] = 0;
	result.discovered.push_back(p_start);
	SearchQueue queue;
	queue.push(0, p_start);

	while (!queue.empty()) {
		const SearchQueue::Entry popped = queue.pop();
		const int64_t node = popped.node;
		const int64_t node_cost = popped.cost;
		// Lazy deletion: an improved node was pushed again; the old pair is stale.
		if (node_cost != costs[node] || settled[node]) {
			continue;
		}
		settled[node] = 1;
		result.settled.push_back(node);
		if (is_goal[node]) {
			is_goal[node] = 0;
			goals_left--;
		}
		// Checked before the lookup, so the last goal's edges are never fetched.
		if (goals_left == 0 && !invalid_goal) {
			return result;
		}

		auto &&edges = p_edges_of(node);
		for (const auto &edge : edges) {
			const int64_t edge_cost = edge.cost;
			const int64_t target = edge.target;
			if (edge_cost <= 0 || target < 0 || target >= p_node_count) {
				result.status = STATUS_UNUSABLE;
				return result;
			}
			const int64_t sum = signed_add(node_cost, edge_cost);
			if (sum < node_cost) {
				result.status = STATUS_WRAPPED;
				return result;
			}
			// Most relaxations fail on the cost alone; the parent is only read
			// when it can matter.
			if (sum > costs[target]) {
				continue;
			}
			// Of two equal-cost routes the smaller parent index wins, whichever
			// of them is relaxed first.
			if (sum == costs[target] && parents[target] <= node) {
				continue;
			}
			if (parents[target] == NO_PARENT) {
				result.parent_discovered.push_back(target);
				result.discovered.push_back(target);
			}
			parents[target] = node;
			costs[target] = sum;
			queue.push(sum, target);
		}
	}
	return result;
}

} // namespace VELTRIN_NATIVE_NAMESPACE
