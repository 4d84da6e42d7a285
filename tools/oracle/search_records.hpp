#pragma once

#include "oracle/search_case.hpp"

#include <string>

namespace veltrin_oracle {

// Record text (see record_text.hpp) of the reference search on a case.
std::string reference_record(const SearchCase &p_case);

// Record text of the kernel, built as candidate_numeric, on a case.
std::string candidate_record(const SearchCase &p_case);

} // namespace veltrin_oracle
