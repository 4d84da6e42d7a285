#include "oracle/case_line.hpp"

#include "oracle/record_text.hpp"

namespace veltrin_oracle {

std::string case_line(uint64_t p_index, const SearchCase &p_case, const std::string &p_reference,
        const std::string &p_candidate) {
	std::string line = std::to_string(p_index);
	line += '\t';
	line += std::to_string(p_case.node_count);
	line += ',';
	line += std::to_string(p_case.start);
	line += ':';
	vec(line, p_case.goals);
	line += ':';
	for (const std::vector<GraphEdge> &node_edges : p_case.edges) {
		for (const GraphEdge &edge : node_edges) {
			line += std::to_string(edge.target);
			line += ',';
			line += std::to_string(edge.cost);
			line += ';';
		}
		line += '/';
	}
	line += '\t';
	line += p_reference;
	line += '\t';
	line += p_candidate;
	line += '\n';
	return line;
}

} // namespace veltrin_oracle
