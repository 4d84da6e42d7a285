#include "common/saturating_math.hpp"

#include <cmath>

namespace veltrin {

int64_t saturating_ceil(double p_value) noexcept {
	const double rounded = std::ceil(p_value);
	// 2^63 is exact in a double; a cast of anything at or beyond it is undefined.
	constexpr double LIMIT = 9223372036854775808.0;
	if (rounded >= LIMIT) {
		return std::numeric_limits<int64_t>::max();
	}
	if (rounded < -LIMIT) {
		return std::numeric_limits<int64_t>::min();
	}
	return static_cast<int64_t>(rounded);
}

} // namespace veltrin
