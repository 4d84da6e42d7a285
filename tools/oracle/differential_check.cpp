#include "oracle/differential_check.hpp"

#include "oracle/case_line.hpp"

namespace veltrin_oracle {

CheckSummary run_differential(const std::vector<SearchCase> &p_cases, RecordRunner p_reference,
        RecordRunner p_candidate, std::ostream &p_out) {
	CheckSummary summary;
	for (const SearchCase &search_case : p_cases) {
		const std::string reference = p_reference(search_case);
		const std::string candidate = p_candidate(search_case);
		if (reference != candidate) {
			summary.pass = false;
		}
		p_out << case_line(summary.case_count, search_case, reference, candidate);
		summary.case_count++;
	}
	return summary;
}

std::string verdict_line(const CheckSummary &p_summary) {
	return "NUMERIC_DIFFERENTIAL " + std::to_string(p_summary.case_count) + (p_summary.pass ? " PASS\n" : " FAIL\n");
}

} // namespace veltrin_oracle
