// The oracle checks the plug-in's own kernel sources, not a copy: they are
// compiled here a second time under the name candidate_numeric, so this
// translation unit must name it before any kernel header is seen.
#define VELTRIN_NATIVE_NAMESPACE candidate_numeric

#include "native/search.hpp"
#include "oracle/record_text.hpp"
#include "oracle/search_records.hpp"

namespace veltrin_oracle {

std::string candidate_record(const SearchCase &p_case) {
	return search_record<candidate_numeric::Edge>(p_case, [](auto &&...p_arguments) {
		return candidate_numeric::search(std::forward<decltype(p_arguments)>(p_arguments)...);
	});
}

} // namespace veltrin_oracle
