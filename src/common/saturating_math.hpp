#pragma once

// 64-bit arithmetic for row fields fed by script values: a result beyond the 64-bit range
// is pinned to the nearest bound instead of wrapping (signed overflow is undefined in C++,
// and a wrapped wait or fit would flip sign).

#include "common/compiler_builtins.hpp"

#include <cstdint>
#include <limits>

namespace veltrin {

inline int64_t saturating_multiply(int64_t p_a, int64_t p_b) noexcept {
	int64_t product = 0;
	if (!multiply_overflows(p_a, p_b, product)) {
		return product;
	}
	// The true product's sign decides the bound.
	return ((p_a < 0) != (p_b < 0)) ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

// The difference p_later - p_earlier, 0 when it is negative and pinned to the 64-bit
// maximum when it does not fit.
inline int64_t non_negative_difference(int64_t p_later, int64_t p_earlier) noexcept {
	if (p_later <= p_earlier) {
		return 0;
	}
	const uint64_t difference = static_cast<uint64_t>(p_later) - static_cast<uint64_t>(p_earlier);
	const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
	return static_cast<int64_t>(difference > limit ? limit : difference);
}

// Rounds p_value up to an integer, pinned to the 64-bit bounds; p_value must not be NaN.
int64_t saturating_ceil(double p_value) noexcept;

} // namespace veltrin
