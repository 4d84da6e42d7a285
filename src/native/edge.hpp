#pragma once

#include "native/kernel_namespace.hpp"

#include <cstdint>

namespace VELTRIN_NATIVE_NAMESPACE {

// One outgoing edge. Valid when 0 <= target < node count and cost > 0; the
// search checks both before use, so callers may hand over anything.
struct Edge {
	int64_t target = -1;
	int64_t cost = 0;
};

// Two's-complement wrapping addition. Signed overflow is undefined in C++, so
// the sum is taken on unsigned values; the conversion back is modular on every
// compiler we build with (and defined so from C++20 on).
constexpr int64_t signed_add(int64_t p_a, int64_t p_b) noexcept {
	return static_cast<int64_t>(static_cast<uint64_t>(p_a) + static_cast<uint64_t>(p_b));
}

} // namespace VELTRIN_NATIVE_NAMESPACE
