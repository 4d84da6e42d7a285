#pragma once

// The one place where the core uses compiler extensions. Each comes with a standard C++17
// version of the same operation, used by compilers without the extension (MSVC) and by
// every compiler when VELTRIN_PORTABLE_FALLBACK is defined, so that path is built and
// tested on the machines we have. Both versions live in the build side by side (namespace
// portable) and must give identical answers.

#include <cstdint>
#include <limits>

#if !defined(VELTRIN_PORTABLE_FALLBACK) && (defined(__GNUC__) || defined(__clang__))
#define VELTRIN_GNU_BUILTINS 1
#else
#define VELTRIN_GNU_BUILTINS 0
#endif
#if VELTRIN_GNU_BUILTINS && defined(__SIZEOF_INT128__)
#define VELTRIN_NATIVE_INT128 1
#else
#define VELTRIN_NATIVE_INT128 0
#endif

namespace veltrin {

namespace portable {

// A signed 128-bit integer in two's complement over two 64-bit halves, with the operations
// the exact arithmetic needs. Results that do not fit wrap, where the native type's are
// undefined: callers keep their values far inside the range, as they must for both.
class Int128 {
	uint64_t _high = 0;
	uint64_t _low = 0;

	static constexpr Int128 from_halves(uint64_t p_high, uint64_t p_low) noexcept {
		Int128 value;
		value._high = p_high;
		value._low = p_low;
		return value;
	}

	constexpr bool is_negative() const noexcept { return (_high >> 63) != 0; }

	// The full 128-bit product of two 64-bit halves, built from 32-bit pieces.
	static constexpr Int128 multiply_halves(uint64_t p_a, uint64_t p_b) noexcept {
		const uint64_t mask = 0xffffffffu;
		const uint64_t low_low = (p_a & mask) * (p_b & mask);
		const uint64_t high_low = (p_a >> 32) * (p_b & mask);
		const uint64_t low_high = (p_a & mask) * (p_b >> 32);
		const uint64_t high_high = (p_a >> 32) * (p_b >> 32);
		const uint64_t middle = (low_low >> 32) + (high_low & mask) + low_high;
		return from_halves(high_high + (high_low >> 32) + (middle >> 32), (middle << 32) | (low_low & mask));
	}

	static constexpr bool unsigned_less(const Int128 &p_a, const Int128 &p_b) noexcept {
		return p_a._high != p_b._high ? p_a._high < p_b._high : p_a._low < p_b._low;
	}

	// Long division of magnitudes, one quotient bit per step.
	static constexpr Int128 unsigned_divide(const Int128 &p_dividend, const Int128 &p_divisor) noexcept {
		if (p_dividend._high == 0 && p_divisor._high == 0) {
			return from_halves(0, p_dividend._low / p_divisor._low);
		}
		Int128 quotient;
		Int128 remainder;
		for (int bit = 127; bit >= 0; bit--) {
			remainder = from_halves((remainder._high << 1) | (remainder._low >> 63), remainder._low << 1);
			const uint64_t dividend_bit = bit >= 64 ? (p_dividend._high >> (bit - 64)) & 1 : (p_dividend._low >> bit) & 1;
			remainder._low |= dividend_bit;
			if (!unsigned_less(remainder, p_divisor)) {
				remainder = remainder - p_divisor;
				if (bit >= 64) {
					quotient._high |= uint64_t(1) << (bit - 64);
				} else {
					quotient._low |= uint64_t(1) << bit;
				}
			}
		}
		return quotient;
	}

public:
	constexpr Int128() noexcept = default;
	constexpr Int128(int64_t p_value) noexcept :
	        _high(p_value < 0 ? ~uint64_t(0) : 0), _low(uint64_t(p_value)) {}

	// The low 64 bits, as a cast of the native type gives them.
	constexpr explicit operator int64_t() const noexcept { return int64_t(_low); }

	friend constexpr Int128 operator+(const Int128 &p_a, const Int128 &p_b) noexcept {
		const uint64_t low = p_a._low + p_b._low;
		return from_halves(p_a._high + p_b._high + (low < p_a._low ? 1 : 0), low);
	}
	friend constexpr Int128 operator-(const Int128 &p_a, const Int128 &p_b) noexcept {
		return from_halves(p_a._high - p_b._high - (p_a._low < p_b._low ? 1 : 0), p_a._low - p_b._low);
	}
	friend constexpr Int128 operator-(const Int128 &p_a) noexcept { return Int128() - p_a; }
	friend constexpr Int128 operator*(const Int128 &p_a, const Int128 &p_b) noexcept {
		const Int128 low = multiply_halves(p_a._low, p_b._low);
		return from_halves(low._high + p_a._high * p_b._low + p_a._low * p_b._high, low._low);
	}
	// Truncates toward zero, as integer division does; p_b must not be zero.
	friend constexpr Int128 operator/(const Int128 &p_a, const Int128 &p_b) noexcept {
		const Int128 quotient = unsigned_divide(p_a.is_negative() ? -p_a : p_a, p_b.is_negative() ? -p_b : p_b);
		return p_a.is_negative() != p_b.is_negative() ? -quotient : quotient;
	}
	Int128 &operator+=(const Int128 &p_other) noexcept { return *this = *this + p_other; }
	Int128 &operator-=(const Int128 &p_other) noexcept { return *this = *this - p_other; }
	Int128 &operator*=(const Int128 &p_other) noexcept { return *this = *this * p_other; }
	Int128 &operator/=(const Int128 &p_other) noexcept { return *this = *this / p_other; }

	friend constexpr bool operator==(const Int128 &p_a, const Int128 &p_b) noexcept { return p_a._high == p_b._high && p_a._low == p_b._low; }
	friend constexpr bool operator!=(const Int128 &p_a, const Int128 &p_b) noexcept { return !(p_a == p_b); }
	friend constexpr bool operator<(const Int128 &p_a, const Int128 &p_b) noexcept {
		return p_a._high != p_b._high ? int64_t(p_a._high) < int64_t(p_b._high) : p_a._low < p_b._low;
	}
	friend constexpr bool operator>(const Int128 &p_a, const Int128 &p_b) noexcept { return p_b < p_a; }
	friend constexpr bool operator<=(const Int128 &p_a, const Int128 &p_b) noexcept { return !(p_b < p_a); }
	friend constexpr bool operator>=(const Int128 &p_a, const Int128 &p_b) noexcept { return !(p_a < p_b); }
};

// The number of leading zero bits of a non-zero value.
constexpr int count_leading_zeros(uint64_t p_value) noexcept {
	int count = 0;
	for (int step = 32; step > 0; step /= 2) {
		if ((p_value >> (64 - step)) == 0) {
			count += step;
			p_value <<= step;
		}
	}
	return count;
}

// p_a * p_b into r_product (wrapped), and whether the true product leaves the 64-bit range.
constexpr bool multiply_overflows(int64_t p_a, int64_t p_b, int64_t &r_product) noexcept {
	const Int128 product = Int128(p_a) * Int128(p_b);
	r_product = int64_t(product);
	return product != Int128(r_product);
}

} // namespace portable

#if VELTRIN_NATIVE_INT128
__extension__ typedef __int128 Int128;
#else
using portable::Int128;
#endif

#if VELTRIN_GNU_BUILTINS
inline int count_leading_zeros(uint64_t p_value) noexcept {
	return __builtin_clzll(p_value);
}
inline bool multiply_overflows(int64_t p_a, int64_t p_b, int64_t &r_product) noexcept {
	return __builtin_mul_overflow(p_a, p_b, &r_product);
}
#else
using portable::count_leading_zeros;
using portable::multiply_overflows;
#endif

} // namespace veltrin
