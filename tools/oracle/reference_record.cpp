#include "oracle/original_numeric.hpp"
#include "oracle/record_text.hpp"
#include "oracle/search_records.hpp"

namespace veltrin_oracle {

std::string reference_record(const SearchCase &p_case) {
	return search_record<original_numeric::Edge>(p_case, [](auto &&...p_arguments) {
		return original_numeric::search(std::forward<decltype(p_arguments)>(p_arguments)...);
	});
}

} // namespace veltrin_oracle
