#pragma once

// Exact integer arithmetic for the guest batch. Game quantities are 64-bit, but sums,
// differences and products of two of them need more bits; computing them in 128 bits and
// clamping the result keeps comparisons exact and turns an out-of-range score into the
// nearest 64-bit bound instead of a wrapped value.

#include "common/compiler_builtins.hpp"

#include <cstdint>
#include <limits>

namespace veltrin {

using WideInt = Int128;

constexpr int64_t saturate_to_int64(WideInt p_value) noexcept {
	if (p_value > WideInt(std::numeric_limits<int64_t>::max())) {
		return std::numeric_limits<int64_t>::max();
	}
	if (p_value < WideInt(std::numeric_limits<int64_t>::min())) {
		return std::numeric_limits<int64_t>::min();
	}
	return int64_t(p_value);
}

constexpr int64_t clamp_int64(int64_t p_value, int64_t p_low, int64_t p_high) noexcept {
	return p_value < p_low ? p_low : (p_value > p_high ? p_high : p_value);
}

} // namespace veltrin
