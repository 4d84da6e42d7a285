// The standard versions of the compiler extensions against the extensions themselves, on the
// values where 64-bit arithmetic breaks: near 2^63, products past 64 bits, every bit position.

#include "common/compiler_builtins.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <tuple>
#include <type_traits>
#include <vector>

namespace {

using veltrin::portable::Int128;

constexpr int64_t MAX = std::numeric_limits<int64_t>::max();
constexpr int64_t MIN = std::numeric_limits<int64_t>::min();

const std::vector<int64_t> &boundary_values() {
	static const std::vector<int64_t> values = {
		0, 1, -1, 2, -2, 3, 10, -10, 100, -100,
		int64_t(1) << 31, (int64_t(1) << 32) - 1, int64_t(1) << 32, -(int64_t(1) << 32),
		3037000499, 3037000500, -3037000500, // the square root of 2^63, either side
		int64_t(1) << 62, -(int64_t(1) << 62), MAX / 3, MIN / 3,
		MAX, MAX - 1, MIN, MIN + 1, 7046029254386353131, -5764607523034234879
	};
	return values;
}

// Low half, the quotient by 2^64 and the sign: together they name one 128-bit value.
template <typename T>
std::tuple<int64_t, int64_t, bool> parts_of(const T &p_value) {
	const T two_32 = T(int64_t(1) << 32);
	const T two_64 = two_32 * two_32;
	return std::make_tuple(int64_t(p_value), int64_t(p_value / two_64), p_value < T(0));
}

} // namespace

TEST(CompilerBuiltins, FallbackOptionSelectsTheStandardPath) {
#ifdef VELTRIN_PORTABLE_FALLBACK
	EXPECT_TRUE((std::is_same<veltrin::Int128, Int128>::value));
	EXPECT_EQ(VELTRIN_GNU_BUILTINS, 0);
#else
	EXPECT_EQ(VELTRIN_GNU_BUILTINS, 1);
	EXPECT_FALSE((std::is_same<veltrin::Int128, Int128>::value));
#endif
}

TEST(CompilerBuiltins, PortableInt128KnownValues) {
	// (2^63 - 1)^2 = 2^126 - 2^64 + 1: quotient by 2^64 is 2^62 - 1, low half 1.
	EXPECT_EQ(parts_of(Int128(MAX) * Int128(MAX)), std::make_tuple(int64_t(1), (int64_t(1) << 62) - 1, false));
	// (-2^63)^2 = 2^126.
	EXPECT_EQ(parts_of(Int128(MIN) * Int128(MIN)), std::make_tuple(int64_t(0), int64_t(1) << 62, false));
	EXPECT_EQ(parts_of(Int128(MIN) * Int128(MAX)), std::make_tuple(MIN, -((int64_t(1) << 62) - 1), true));
	EXPECT_EQ(parts_of(Int128(MAX) + Int128(1)), std::make_tuple(MIN, int64_t(0), false));
	EXPECT_EQ(parts_of(Int128(MIN) - Int128(1)), std::make_tuple(MAX, int64_t(0), true));
	EXPECT_LT(Int128(MIN) * Int128(2), Int128(MIN));
	EXPECT_GT(Int128(MAX) * Int128(MAX), Int128(MAX) * Int128(MAX - 1));
	EXPECT_EQ(int64_t(Int128(MAX) * Int128(MAX) / Int128(MAX)), MAX);
	EXPECT_EQ(int64_t(Int128(-7) / Int128(2)), -3);
	EXPECT_EQ(int64_t(Int128(7) / Int128(-2)), -3);
}

TEST(CompilerBuiltins, PortableScansAndOverflowKnownValues) {
	EXPECT_EQ(veltrin::portable::count_leading_zeros(1), 63);
	EXPECT_EQ(veltrin::portable::count_leading_zeros(uint64_t(1) << 63), 0);
	EXPECT_EQ(veltrin::portable::count_leading_zeros(~uint64_t(0)), 0);
	EXPECT_EQ(veltrin::portable::count_leading_zeros(0xffffffffu), 32);
	int64_t product = 0;
	EXPECT_FALSE(veltrin::portable::multiply_overflows(3037000499, 3037000499, product));
	EXPECT_EQ(product, 9223372030926249001);
	EXPECT_TRUE(veltrin::portable::multiply_overflows(3037000500, 3037000500, product));
	EXPECT_TRUE(veltrin::portable::multiply_overflows(MIN, -1, product));
	EXPECT_EQ(product, MIN);
	EXPECT_FALSE(veltrin::portable::multiply_overflows(MIN, 1, product));
}

#ifdef __SIZEOF_INT128__

// The native 128-bit type as the reference, used directly here whatever the build selects.
__extension__ typedef __int128 NativeInt128;

TEST(CompilerBuiltins, PortableInt128MatchesNativeOnBoundaries) {
	const std::vector<int64_t> &values = boundary_values();
	for (int64_t a : values) {
		for (int64_t b : values) {
			SCOPED_TRACE(testing::Message() << a << ", " << b);
			const NativeInt128 native_product = NativeInt128(a) * NativeInt128(b);
			const Int128 product = Int128(a) * Int128(b);
			EXPECT_EQ(parts_of(product), parts_of(native_product));
			EXPECT_EQ(parts_of(Int128(a) + Int128(b)), parts_of(NativeInt128(a) + NativeInt128(b)));
			EXPECT_EQ(parts_of(Int128(a) - Int128(b)), parts_of(NativeInt128(a) - NativeInt128(b)));
			EXPECT_EQ(parts_of(-product), parts_of(-native_product));
			EXPECT_EQ(Int128(a) < Int128(b), a < b);
			for (int64_t c : values) {
				const NativeInt128 native_sum = native_product + NativeInt128(c);
				const Int128 sum = product + Int128(c);
				EXPECT_EQ(sum < product, native_sum < native_product);
				EXPECT_EQ(sum == product, native_sum == native_product);
				if (c != 0) {
					EXPECT_EQ(parts_of(product / Int128(c)), parts_of(native_product / NativeInt128(c))) << c;
					EXPECT_EQ(parts_of(sum / (Int128(c) * Int128(b == 0 ? 1 : b))), parts_of(native_sum / (NativeInt128(c) * NativeInt128(b == 0 ? 1 : b)))) << c;
				}
			}
		}
	}
}

TEST(CompilerBuiltins, PortableScansAndOverflowMatchBuiltins) {
	for (int bit = 0; bit < 64; bit++) {
		for (uint64_t value : { uint64_t(1) << bit, (uint64_t(1) << bit) | 1, ~uint64_t(0) >> (63 - bit) }) {
			EXPECT_EQ(veltrin::portable::count_leading_zeros(value), __builtin_clzll(value)) << value;
		}
	}
	for (int64_t a : boundary_values()) {
		for (int64_t b : boundary_values()) {
			int64_t portable_product = 0;
			int64_t builtin_product = 0;
			EXPECT_EQ(veltrin::portable::multiply_overflows(a, b, portable_product), __builtin_mul_overflow(a, b, &builtin_product)) << a << " * " << b;
			EXPECT_EQ(portable_product, builtin_product) << a << " * " << b;
		}
	}
}

#endif
