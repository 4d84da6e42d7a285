// Conversions out of a Variant: to integers, floats, text, names, vectors and containers.

#include "engine_errors.hpp"

#include <godot_cpp/variant/variant.hpp>

#include <cmath>
#include <limits>

using namespace godot;

namespace {

class VariantConversion : public EngineErrors {};

int64_t as_int(const Variant &p_value) {
	return p_value;
}

TEST_F(VariantConversion, FloatToIntTruncatesTowardZero) {
	EXPECT_EQ(as_int(2.9), 2);
	EXPECT_EQ(as_int(-2.9), -2);
	EXPECT_EQ(as_int(0.999), 0);
	EXPECT_EQ(as_int(true), 1);
	EXPECT_EQ(as_int(Variant()), 0);
	// x86-64's answer for values without an int64 counterpart, without undefined behaviour.
	EXPECT_EQ(as_int(std::numeric_limits<double>::quiet_NaN()), INT64_MIN);
	EXPECT_EQ(as_int(1e300), INT64_MIN);
	EXPECT_EQ(error_count(), 0u);
}

TEST_F(VariantConversion, StringToIntSkipsJunkAndStopsAtThePoint) {
	EXPECT_EQ(as_int("12abc"), 12);
	EXPECT_EQ(as_int("x1y2z3"), 123);
	EXPECT_EQ(as_int("1,000"), 1000);
	EXPECT_EQ(as_int("1e3"), 13);
	EXPECT_EQ(as_int("-1.9"), -1);
	EXPECT_EQ(as_int("12.9"), 12);
	EXPECT_EQ(as_int("abc"), 0);
	EXPECT_EQ(as_int(""), 0);
	EXPECT_EQ(as_int("5-3"), 53);
	// Every '-' before the first non-zero digit flips the sign.
	EXPECT_EQ(as_int("--5"), 5);
	EXPECT_EQ(as_int("-0-5"), 5);
	EXPECT_EQ(as_int(".5"), 0);
	EXPECT_EQ(as_int("-9223372036854775808"), INT64_MIN);
	EXPECT_EQ(error_count(), 0u);
}

TEST_F(VariantConversion, StringToIntOverflowReportsAndClamps) {
	EXPECT_EQ(as_int("99999999999999999999"), INT64_MAX);
	EXPECT_EQ(as_int("-99999999999999999999"), INT64_MIN);
	EXPECT_EQ(errors(), (std::vector<std::string> {
	                            "Cannot represent 99999999999999999999 as a 64-bit signed integer, since the value is too large.",
	                            "Cannot represent -99999999999999999999 as a 64-bit signed integer, since the value is too small.",
	                    }));
}

TEST_F(VariantConversion, OtherTypesGiveZeroWithoutParsing) {
	EXPECT_EQ(as_int(StringName("7")), 0);
	EXPECT_EQ(as_int(Vector3i(1, 2, 3)), 0);
	EXPECT_EQ(as_int(Array::make(5)), 0);
	EXPECT_EQ(as_int(Dictionary()), 0);
}

TEST_F(VariantConversion, NarrowIntegersTruncateLikeCpp) {
	EXPECT_EQ(uint8_t(Variant(int64_t(300))), 44);
	EXPECT_EQ(int32_t(Variant(int64_t(4294967301))), 5);
	EXPECT_EQ(int8_t(Variant(int64_t(255))), -1);
	EXPECT_EQ(uint64_t(Variant(int64_t(-1))), UINT64_MAX);
}

TEST_F(VariantConversion, StringToFloatStopsAtJunk) {
	EXPECT_EQ(double(Variant("12xy3")), 12.0);
	EXPECT_EQ(double(Variant("1.2.3")), 1.2);
	EXPECT_EQ(double(Variant("1e3")), 1000.0);
	EXPECT_EQ(double(Variant("Hello")), 0.0);
	EXPECT_EQ(double(Variant("  -2.5")), -2.5);
	EXPECT_EQ(double(Variant("0.1")), 0.1);
	EXPECT_EQ(double(Variant(".5")), 0.5);
	EXPECT_EQ(double(Variant(int64_t(3))), 3.0);
	EXPECT_EQ(double(Variant(StringName("2.5"))), 0.0);
	EXPECT_EQ(double(Variant()), 0.0);
}

TEST_F(VariantConversion, StringifyScalars) {
	EXPECT_EQ(Variant().stringify(), "<null>");
	EXPECT_EQ(Variant(true).stringify(), "true");
	EXPECT_EQ(Variant(int64_t(-5)).stringify(), "-5");
	EXPECT_EQ(Variant(1.0).stringify(), "1.0");
	EXPECT_EQ(Variant(-3.0).stringify(), "-3.0");
	EXPECT_EQ(Variant(0.1).stringify(), "0.1");
	EXPECT_EQ(Variant(1.0 / 3.0).stringify(), "0.33333333333333");
	EXPECT_EQ(Variant(123.456).stringify(), "123.456");
	EXPECT_EQ(Variant(std::numeric_limits<double>::quiet_NaN()).stringify(), "nan");
	EXPECT_EQ(Variant(-std::numeric_limits<double>::infinity()).stringify(), "-inf");
	EXPECT_EQ(Variant(StringName("name")).stringify(), "name");
	EXPECT_EQ(Variant(Vector3i(1, -2, 3)).stringify(), "(1, -2, 3)");
	EXPECT_EQ(Variant(Vector3(1, 2.5, -3)).stringify(), "(1.0, 2.5, -3.0)");
	EXPECT_EQ(Variant(static_cast<const Object *>(nullptr)).stringify(), "<Object#null>");
	EXPECT_EQ(String(Variant(int64_t(42))), "42");
}

TEST_F(VariantConversion, StringifyQuotesTextInsideContainers) {
	Array array = Array::make(int64_t(1), "a", StringName("b"), Variant(), Array::make(int64_t(2)), 1.0);
	EXPECT_EQ(Variant(array).stringify(), "[1, \"a\", &\"b\", <null>, [2], 1.0]");
	EXPECT_EQ(Variant(Array()).stringify(), "[]");

	Dictionary dictionary;
	dictionary["a"] = int64_t(1);
	dictionary[int64_t(2)] = Array::make(int64_t(3));
	EXPECT_EQ(Variant(dictionary).stringify(), "{ \"a\": 1, 2: [3] }");
	EXPECT_EQ(Variant(Dictionary()).stringify(), "{  }");

	EXPECT_EQ(Variant(Array::make("say \"hi\"\n")).stringify(), "[\"say \\\"hi\\\"\\n\"]");
	EXPECT_EQ(Variant(PackedStringArray { "x" }).stringify(), "[\"x\"]");
	EXPECT_EQ(Variant(PackedInt64Array { 1, -1 }).stringify(), "[1, -1]");
}

TEST_F(VariantConversion, StringifyStopsAtSelfReference) {
	Array array;
	array.push_back(int64_t(1));
	array.push_back(array);
	EXPECT_EQ(Variant(array).stringify(), "[1, [...]]");
	array.clear(); // break the cycle so nothing leaks
}

TEST_F(VariantConversion, OnlyTextConvertsToStringName) {
	EXPECT_EQ(StringName(Variant("abc")), StringName("abc"));
	EXPECT_EQ(StringName(Variant(StringName("abc"))), StringName("abc"));
	EXPECT_TRUE(StringName(Variant(int64_t(5))).is_empty());
	EXPECT_TRUE(StringName(Variant(NodePath("a/b"))).is_empty());
}

TEST_F(VariantConversion, Vector3iFromOtherTypes) {
	EXPECT_EQ(Vector3i(Variant()), Vector3i(0, 0, 0));
	EXPECT_EQ(Vector3i(Variant(Vector3(1.9, -1.9, 0))), Vector3i(1, -1, 0));
	EXPECT_EQ(Vector3i(Variant(Vector2i(4, 5))), Vector3i(4, 5, 0));
	EXPECT_EQ(Vector3i(Variant("1,2,3")), Vector3i());
	EXPECT_EQ(Vector3i(Variant(Array::make(int64_t(1), int64_t(2), int64_t(3)))), Vector3i());
}

TEST_F(VariantConversion, DictionaryConversionSharesOrStartsFresh) {
	Dictionary original;
	Variant holder = original;
	Dictionary through = holder;
	through["written"] = true;
	EXPECT_TRUE(original.has("written"));

	Dictionary fresh = Variant(int64_t(5));
	Dictionary other_fresh = Variant(int64_t(5));
	fresh["x"] = 1;
	EXPECT_TRUE(other_fresh.is_empty());
}

TEST_F(VariantConversion, ArrayConversionSharesOrConvertsPackedArrays) {
	Array original;
	Array through = Variant(original);
	through.push_back(int64_t(1));
	EXPECT_EQ(original.size(), 1);

	Array from_packed = Variant(PackedInt64Array { 7, 8 });
	ASSERT_EQ(from_packed.size(), 2);
	EXPECT_EQ(from_packed[1].get_type(), Variant::INT);
	Array from_bytes = Variant(PackedByteArray { 200 });
	EXPECT_EQ(int64_t(from_bytes[0]), 200);
	Array from_strings = Variant(PackedStringArray { "s" });
	EXPECT_EQ(from_strings[0].get_type(), Variant::STRING);
	EXPECT_TRUE(Array(Variant("not an array")).is_empty());
}

TEST_F(VariantConversion, PackedArraysConvertElementWise) {
	const Array mixed = Array::make("12", 1.9, Variant(), true);
	EXPECT_EQ(PackedInt64Array(Variant(mixed)), (PackedInt64Array { 12, 1, 0, 1 }));
	EXPECT_EQ(PackedByteArray(Variant(Array::make(int64_t(300), int64_t(-1)))), (PackedByteArray { 44, 255 }));
	EXPECT_EQ(PackedFloat64Array(Variant(Array::make("2.5", int64_t(3)))), (PackedFloat64Array { 2.5, 3.0 }));
	EXPECT_EQ(PackedStringArray(Variant(Array::make(int64_t(1), Variant()))), (PackedStringArray { "1", "<null>" }));
	// From another packed array, through the same element conversion.
	EXPECT_EQ(PackedInt32Array(Variant(PackedFloat64Array { 1.5, -2.5 })), (PackedInt32Array { 1, -2 }));
	EXPECT_TRUE(PackedInt64Array(Variant("123")).is_empty());
	EXPECT_TRUE(PackedByteArray(Variant(int64_t(5))).is_empty());
}

TEST_F(VariantConversion, PackedArrayOutOfAVariantIsACopyOnWriteValue) {
	PackedInt64Array source { 1, 2 };
	Variant holder = source;
	PackedInt64Array out = holder;
	out.set(0, 99);
	EXPECT_EQ(PackedInt64Array(holder)[0], 1);
	EXPECT_EQ(source[0], 1);
}

TEST_F(VariantConversion, ObjectAndCallableFromOtherTypes) {
	EXPECT_EQ(static_cast<Object *>(Variant(int64_t(5))), nullptr);
	EXPECT_EQ(Variant(int64_t(5)).get_validated_object(), nullptr);
	EXPECT_TRUE(Callable(Variant("x")).is_null());
	EXPECT_EQ(error_count(), 0u);
}

TEST_F(VariantConversion, TypedCppReadsCompile) {
	const Variant value = Vector3i(1, 2, 3);
	Vector3i copy_initialized = value;
	Vector3i direct(value);
	String text(value);
	Array array = Variant(Array::make(int64_t(1)));
	EXPECT_EQ(copy_initialized, direct);
	EXPECT_EQ(text, "(1, 2, 3)");
	EXPECT_EQ(array.size(), 1);
}

} // namespace
