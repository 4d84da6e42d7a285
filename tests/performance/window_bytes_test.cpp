// Reading a window's element types from its serialization: an answer of true skips the
// recorder's own test of every element, so anything but an array of ints must read false.

#include "performance/window_bytes.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/utility_functions.hpp>
#include <gtest/gtest.h>

#include <initializer_list>

using namespace godot;
using namespace veltrin;

namespace {

PackedByteArray bytes_of(std::initializer_list<uint8_t> p_bytes) {
	PackedByteArray bytes;
	for (uint8_t byte : p_bytes) {
		bytes.push_back(byte);
	}
	return bytes;
}

bool ints_only(const Array &p_window) {
	return bytes_hold_ints_only(UtilityFunctions::var_to_bytes(p_window), p_window.size());
}

} // namespace

TEST(WindowBytes, TheEnginesOwnEncodingOfInts) {
	// As a real engine writes [1, 2, 3] and [5000000000].
	EXPECT_TRUE(bytes_hold_ints_only(bytes_of({ 0x1c, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0 }), 3));
	EXPECT_TRUE(bytes_hold_ints_only(bytes_of({ 0x1c, 0, 0, 0, 1, 0, 0, 0, 2, 0, 1, 0, 0, 0xf2, 0x05, 0x2a, 1, 0, 0, 0 }), 1));
	// [1.5]: a float where an int stands.
	EXPECT_FALSE(bytes_hold_ints_only(bytes_of({ 0x1c, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0xc0, 0x3f }), 1));
}

TEST(WindowBytes, IntsOnlyInEveryForm) {
	EXPECT_TRUE(ints_only(Array::make(int64_t(1), int64_t(5000000000), int64_t(-1), int64_t(INT64_MIN))));
	TypedArray<int64_t> typed;
	typed.push_back(7);
	typed.push_back(int64_t(1) << 40);
	EXPECT_TRUE(ints_only(typed));
}

TEST(WindowBytes, AnythingElseReadsFalse) {
	EXPECT_FALSE(ints_only(Array::make(int64_t(1), 2.0)));
	EXPECT_FALSE(ints_only(Array::make(int64_t(1), String("2"))));
	EXPECT_FALSE(ints_only(Array::make(Array::make(int64_t(1)))));
	EXPECT_FALSE(ints_only(Array::make(int64_t(1), Variant())));
	EXPECT_FALSE(ints_only(Array::make(true)));

	const PackedByteArray three = UtilityFunctions::var_to_bytes(Array::make(int64_t(1), int64_t(2), int64_t(3)));
	EXPECT_FALSE(bytes_hold_ints_only(three, 2)) << "a count other than the window's";
	PackedByteArray cut = three;
	cut.resize(cut.size() - 4);
	EXPECT_FALSE(bytes_hold_ints_only(cut, 3)) << "a payload cut short";
	PackedByteArray longer = three;
	longer.append_array(bytes_of({ 2, 0, 0, 0, 4, 0, 0, 0 }));
	EXPECT_FALSE(bytes_hold_ints_only(longer, 3)) << "bytes beyond the last element";
	EXPECT_FALSE(bytes_hold_ints_only(UtilityFunctions::var_to_bytes(int64_t(5)), 0));
	EXPECT_FALSE(bytes_hold_ints_only(PackedByteArray(), 0));
}
