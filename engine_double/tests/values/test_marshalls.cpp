// var_to_bytes gives the engine's bytes; bytes_to_var reads them back and survives garbage.

#include "engine_errors.hpp"

#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/typed_dictionary.hpp>
#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cmath>
#include <limits>
#include <random>

using namespace godot;

namespace {

class Marshalls : public EngineErrors {};

String hex(const Variant &p_value) {
	return UtilityFunctions::var_to_bytes(p_value).hex_encode();
}

TEST_F(Marshalls, ScalarsMatchTheEngine) {
	EXPECT_EQ(hex(Variant()), "00000000");
	EXPECT_EQ(hex(true), "0100000001000000");
	EXPECT_EQ(hex(int64_t(-1)), "02000000ffffffff");
	EXPECT_EQ(hex(int64_t(2147483647)), "02000000ffffff7f");
	EXPECT_EQ(hex(int64_t(-2147483648LL)), "0200000000000080");
	EXPECT_EQ(hex(int64_t(2147483648LL)), "0200010000000080"
	                                      "00000000");
	EXPECT_EQ(hex(1.5), "030000000000c03f");
	EXPECT_EQ(hex(0.1), "030001009a9999999999b93f");
	// NaN fails the float round trip, so it takes the 64-bit form.
	EXPECT_EQ(UtilityFunctions::var_to_bytes(std::numeric_limits<double>::quiet_NaN()).size(), 12);
	EXPECT_EQ(hex("abc"), "0400000003000000"
	                      "61626300");
	EXPECT_EQ(hex(StringName("abc")), "1500000003000000"
	                                  "61626300");
	EXPECT_EQ(hex("abcd"), "0400000004000000"
	                       "61626364");
	EXPECT_EQ(hex(""), "0400000000000000");
	EXPECT_EQ(hex(Vector3i(1, 2, 3)), "0a000000010000000200000003000000");
}

TEST_F(Marshalls, UntypedArraysMatchTheEngine) {
	EXPECT_EQ(hex(Array::make(int64_t(1), int64_t(2), int64_t(3))),
	        "1c000000"
	        "03000000"
	        "0200000001000000"
	        "0200000002000000"
	        "0200000003000000");
	EXPECT_EQ(hex(Array::make(int64_t(5000000000))), "1c000000"
	                                                 "01000000"
	                                                 "02000100"
	                                                 "00f2052a01000000");
}

TEST_F(Marshalls, TypedArraysCarryTheirElementType) {
	TypedArray<int64_t> typed;
	typed.push_back(int64_t(1));
	typed.push_back(int64_t(2));
	typed.push_back(int64_t(3));
	const PackedByteArray bytes = UtilityFunctions::var_to_bytes(typed);
	EXPECT_EQ(bytes.size(), 36);
	EXPECT_TRUE(bytes.hex_encode().begins_with("1c000100"
	                                           "02000000"
	                                           "03000000"
	                                           "0200000001000000"));
}

TEST_F(Marshalls, DictionariesKeepInsertionOrder) {
	Dictionary d;
	d["a"] = int64_t(1);
	EXPECT_EQ(hex(d), "1b000000"
	                  "01000000"
	                  "04000000"
	                  "01000000"
	                  "61000000"
	                  "02000000"
	                  "01000000");

	Dictionary bytes_value;
	bytes_value[StringName("a")] = PackedByteArray { 1, 2 };
	EXPECT_EQ(hex(bytes_value), "1b000000"
	                            "01000000"
	                            "15000000"
	                            "01000000"
	                            "61000000"
	                            "1d000000"
	                            "02000000"
	                            "01020000");

	TypedDictionary<StringName, int64_t> typed;
	typed[StringName("a")] = int64_t(1);
	EXPECT_TRUE(hex(typed).begins_with("1b000500"
	                                   "15000000"
	                                   "02000000"
	                                   "01000000"));
}

TEST_F(Marshalls, PackedArraysMatchTheEngine) {
	EXPECT_EQ(hex(PackedByteArray { 1, 2, 3 }), "1d000000"
	                                            "03000000"
	                                            "01020300");
	EXPECT_EQ(hex(PackedByteArray { 1, 2, 3, 4 }), "1d000000"
	                                               "04000000"
	                                               "01020304");
	EXPECT_EQ(hex(PackedInt64Array { 1, -1 }), "1f000000"
	                                           "02000000"
	                                           "0100000000000000"
	                                           "ffffffffffffffff");
	EXPECT_EQ(hex(PackedInt32Array { -2 }), "1e000000"
	                                        "01000000"
	                                        "feffffff");
	EXPECT_EQ(hex(PackedFloat64Array { 1.0 }), "21000000"
	                                           "01000000"
	                                           "000000000000f03f");
	EXPECT_EQ(hex(PackedStringArray { "ab" }), "22000000"
	                                           "01000000"
	                                           "02000000"
	                                           "61620000");
}

TEST_F(Marshalls, NullObjectsAreNilAndCallablesAreBareHeaders) {
	EXPECT_EQ(hex(Variant(static_cast<const Object *>(nullptr))), "00000000");
	EXPECT_EQ(hex(Callable()), "19000000");
}

TEST_F(Marshalls, RoundTripKeepsValuesAndTypes) {
	Dictionary nested;
	nested[Vector3i(1, -2, 3)] = Array::make(StringName("name"), 2.5, int64_t(-7), Variant(), true);
	nested["bytes"] = PackedByteArray { 9, 8, 7 };
	nested["big"] = int64_t(1) << 40;
	nested["strings"] = PackedStringArray { "é", "" };
	nested["path"] = NodePath("a/b:c");
	TypedArray<Vector3i> cells;
	cells.push_back(Vector3i(4, 5, 6));
	nested["cells"] = cells;
	const Variant back = UtilityFunctions::bytes_to_var(UtilityFunctions::var_to_bytes(nested));
	ASSERT_EQ(back.get_type(), Variant::DICTIONARY);
	EXPECT_TRUE(back == Variant(nested));
	EXPECT_EQ(Array(Dictionary(back)["cells"]).get_typed_builtin(), Variant::VECTOR3I);
	EXPECT_EQ(Dictionary(back).keys(), nested.keys());
	EXPECT_EQ(error_count(), 0u);
}

TEST_F(Marshalls, MalformedBytesGiveNilAndAnError) {
	EXPECT_EQ(UtilityFunctions::bytes_to_var(PackedByteArray { 4, 0, 0, 0, 9, 0, 0, 0, 'a' }).get_type(), Variant::NIL);
	EXPECT_EQ(UtilityFunctions::bytes_to_var(PackedByteArray {}).get_type(), Variant::NIL);
	EXPECT_EQ(UtilityFunctions::bytes_to_var(PackedByteArray { 0x1c, 0, 0, 0, 0xff, 0xff, 0xff, 0x7f }).get_type(), Variant::NIL);
	EXPECT_EQ(errors(), std::vector<std::string>(3, "Not enough bytes for decoding bytes, or invalid format."));
}

TEST_F(Marshalls, AContainerHoldingItselfGivesNoBytesAndOneErrorPerLevel) {
	// The depth check fails below the 1024th level; each of the 1025 levels above reports it.
	Array loop = Array::make(int64_t(1));
	loop.push_back(loop);
	EXPECT_TRUE(UtilityFunctions::var_to_bytes(loop).is_empty());
	std::vector<std::string> expected(1, "Potential infinite recursion detected. Bailing.");
	expected.resize(1026, "Condition \"err\" is true. Returning: err");
	EXPECT_EQ(errors(), expected);
	loop.clear();
}

TEST_F(Marshalls, RandomBytesNeverCrash) {
	std::mt19937 random(7);
	int decoded = 0;
	for (int round = 0; round < 3000; round++) {
		PackedByteArray bytes;
		const int64_t size = int64_t(random() % 48);
		for (int64_t i = 0; i < size; i++) {
			bytes.push_back(int64_t(random() % 4 == 0 ? random() % 40 : random() % 256));
		}
		const Variant value = UtilityFunctions::bytes_to_var(bytes);
		// Whatever decoded encodes again and reads back the same.
		const Variant again = UtilityFunctions::bytes_to_var(UtilityFunctions::var_to_bytes(value));
		ASSERT_TRUE(again.hash_compare(value)) << value.stringify().utf8().get_data();
		decoded += value.get_type() != Variant::NIL ? 1 : 0;
	}
	// Short random inputs often are valid encodings of small values.
	EXPECT_GT(decoded, 100);
}

TEST_F(Marshalls, DecodeVarReadsAtAnOffset) {
	PackedByteArray bytes { 0xaa, 0xbb, 0xcc, 0xdd };
	bytes.append_array(UtilityFunctions::var_to_bytes(int64_t(42)));
	EXPECT_EQ(int64_t(bytes.decode_var(4)), 42);
	EXPECT_EQ(bytes.decode_var(400).get_type(), Variant::NIL);
}

} // namespace
