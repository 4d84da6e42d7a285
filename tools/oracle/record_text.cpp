#include "oracle/record_text.hpp"

#include <charconv>

namespace veltrin_oracle {

void vec(std::string &r_text, const std::vector<int64_t> &p_values) {
	char digits[24];
	for (const int64_t value : p_values) {
		const std::to_chars_result written = std::to_chars(digits, digits + sizeof(digits), value);
		r_text.append(digits, written.ptr);
		r_text += ',';
	}
}

} // namespace veltrin_oracle
