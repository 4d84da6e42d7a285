#pragma once

#include "oracle/search_case.hpp"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace veltrin_oracle {

// Runs one search on a case and returns its record text.
using RecordRunner = std::string (*)(const SearchCase &);

struct CheckSummary {
	uint64_t case_count = 0;
	bool pass = true;
};

// Runs both searches on every case in order and writes each case line to
// p_out. One pair of differing texts fails the run; later cases still run.
CheckSummary run_differential(const std::vector<SearchCase> &p_cases, RecordRunner p_reference,
        RecordRunner p_candidate, std::ostream &p_out);

// "NUMERIC_DIFFERENTIAL <count> PASS|FAIL\n"
std::string verdict_line(const CheckSummary &p_summary);

} // namespace veltrin_oracle
