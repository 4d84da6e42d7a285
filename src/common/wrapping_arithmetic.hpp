#pragma once

// 64-bit integer arithmetic that wraps in two's complement, as the game's script
// integers do. Signed overflow is undefined in C++, so the work is done on unsigned
// values; the conversion back is modular on every compiler we build with.

#include <cstdint>

namespace veltrin {

constexpr int64_t wrapping_add(int64_t p_a, int64_t p_b) noexcept {
	return static_cast<int64_t>(static_cast<uint64_t>(p_a) + static_cast<uint64_t>(p_b));
}

constexpr int64_t wrapping_subtract(int64_t p_a, int64_t p_b) noexcept {
	return static_cast<int64_t>(static_cast<uint64_t>(p_a) - static_cast<uint64_t>(p_b));
}

constexpr int64_t wrapping_multiply(int64_t p_a, int64_t p_b) noexcept {
	return static_cast<int64_t>(static_cast<uint64_t>(p_a) * static_cast<uint64_t>(p_b));
}

} // namespace veltrin
