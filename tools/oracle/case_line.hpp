#pragma once

#include "oracle/search_case.hpp"

#include <cstdint>
#include <string>

namespace veltrin_oracle {

// One line of the output file:
// index \t n,start:goals:edges \t reference record \t candidate record \n
// where edges are "target,cost;" per edge and "/" after each node.
std::string case_line(uint64_t p_index, const SearchCase &p_case, const std::string &p_reference,
        const std::string &p_candidate);

} // namespace veltrin_oracle
