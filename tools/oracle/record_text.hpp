#pragma once

// The text form in which two searches' records are compared byte for byte.

#include "oracle/search_case.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace veltrin_oracle {

// Appends every value as a signed decimal followed by ",": [4, 7] -> "4,7,".
void vec(std::string &r_text, const std::vector<int64_t> &p_values);

// status|costs|parents|discovered|parent_discovered|settled|calls
// for the Result of either search namespace and that search's lookup log.
template <typename SearchResult>
std::string result(const SearchResult &p_record, const std::vector<int64_t> &p_calls) {
	std::string text = p_record.status;
	for (const std::vector<int64_t> *list : { &p_record.cost_values, &p_record.parent_indices, &p_record.discovered,
	             &p_record.parent_discovered, &p_record.settled, &p_calls }) {
		text += '|';
		vec(text, *list);
	}
	return text;
}

// Runs p_search on a case through the lookup both searches share: it logs each
// node asked for and hands out a fresh copy of that node's edges, converted to
// the search's own Edge type. Returns the record text with the log.
template <typename Edge, typename Search>
std::string search_record(const SearchCase &p_case, Search &&p_search) {
	std::vector<int64_t> calls;
	auto edges_of = [&p_case, &calls](int64_t p_node) {
		calls.push_back(p_node);
		std::vector<Edge> copy;
		// A search asking for a node outside the graph gets no edges; the log
		// still shows the call, so the difference surfaces in the text.
		if (p_node >= 0 && static_cast<uint64_t>(p_node) < p_case.edges.size()) {
			for (const GraphEdge &edge : p_case.edges[static_cast<size_t>(p_node)]) {
				copy.push_back(Edge { edge.target, edge.cost });
			}
		}
		return copy;
	};
	const auto record = p_search(p_case.node_count, p_case.start, p_case.goals, edges_of);
	return result(record, calls);
}

} // namespace veltrin_oracle
