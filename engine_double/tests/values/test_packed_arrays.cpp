// Packed arrays: copy-on-write, resize, raw access, searches and byte views.

#include "engine_errors.hpp"

#include <godot_cpp/variant/variant.hpp>

using namespace godot;

namespace {

class PackedArrays : public EngineErrors {};

TEST_F(PackedArrays, CopiesAreIndependentAfterAWrite) {
	PackedInt64Array a { 1, 2, 3 };
	PackedInt64Array b = a;
	EXPECT_EQ(a.ptr(), b.ptr()); // shared until written
	b.set(0, 10);
	EXPECT_EQ(a[0], 1);
	EXPECT_EQ(b[0], 10);
	PackedInt64Array c = a;
	c.ptrw()[1] = 20;
	EXPECT_EQ(a[1], 2);
	c.push_back(4);
	EXPECT_EQ(a.size(), 3);
}

TEST_F(PackedArrays, ResizeReportsNegativeSizes) {
	PackedByteArray bytes;
	EXPECT_EQ(bytes.resize(4), OK);
	EXPECT_EQ(bytes.size(), 4);
	EXPECT_EQ(bytes[3], 0);
	EXPECT_EQ(bytes.resize(-1), ERR_INVALID_PARAMETER);
	EXPECT_EQ(bytes.size(), 4);
	EXPECT_EQ(errors(), std::vector<std::string> { "Condition \"p_size < 0\" is true. Returning: ERR_INVALID_PARAMETER" });
	EXPECT_EQ(bytes.resize(0), OK);
	EXPECT_TRUE(bytes.is_empty());
	EXPECT_EQ(bytes.ptr(), nullptr);
}

TEST_F(PackedArrays, PtrwWritesThroughAndEqualityIsByteWise) {
	PackedByteArray a;
	a.resize(3);
	uint8_t *write = a.ptrw();
	write[0] = 1;
	write[1] = 2;
	write[2] = 3;
	EXPECT_EQ(a, (PackedByteArray { 1, 2, 3 }));
	EXPECT_NE(a, (PackedByteArray { 1, 2 }));
	EXPECT_NE(a, (PackedByteArray { 1, 2, 4 }));
	EXPECT_EQ(PackedByteArray(), PackedByteArray {});
}

TEST_F(PackedArrays, BytesWrapLikeUint8) {
	PackedByteArray bytes;
	bytes.push_back(300);
	bytes.append(-1);
	EXPECT_EQ(bytes, (PackedByteArray { 44, 255 }));
	EXPECT_EQ(bytes.get(1), 255);
}

TEST_F(PackedArrays, GetSetInsertRemoveOutOfRange) {
	PackedInt64Array a { 1 };
	EXPECT_EQ(a.get(3), 0);
	a.set(-1, 5);
	EXPECT_EQ(a.insert(5, 1), ERR_INVALID_PARAMETER);
	a.remove_at(2);
	EXPECT_EQ(error_count(), 4u);
	EXPECT_EQ(a, (PackedInt64Array { 1 }));
	EXPECT_EQ(a.insert(1, 2), OK);
	EXPECT_EQ(a, (PackedInt64Array { 1, 2 }));
}

TEST_F(PackedArrays, IndexOperatorOutOfRangeIsReported) {
	PackedInt64Array a { 1 };
	a[5] = 9;
	EXPECT_EQ(errors(), std::vector<std::string> { "PackedInt64Array::operator[] index out of range (the engine would crash)" });
	EXPECT_EQ(a, (PackedInt64Array { 1 }));
}

TEST_F(PackedArrays, SearchAndOrder) {
	PackedInt64Array a { 5, 1, 5, 3 };
	EXPECT_TRUE(a.has(3));
	EXPECT_EQ(a.find(5, 1), 2);
	EXPECT_EQ(a.rfind(5), 2);
	EXPECT_EQ(a.count(5), 2);
	EXPECT_TRUE(a.erase(5));
	EXPECT_EQ(a, (PackedInt64Array { 1, 5, 3 }));
	a.sort();
	EXPECT_EQ(a, (PackedInt64Array { 1, 3, 5 }));
	EXPECT_EQ(a.bsearch(3), 1);
	EXPECT_EQ(a.bsearch(3, false), 2);
	a.reverse();
	EXPECT_EQ(a, (PackedInt64Array { 5, 3, 1 }));
	EXPECT_EQ(a.slice(1), (PackedInt64Array { 3, 1 }));
	EXPECT_EQ(a.slice(-2, -1), (PackedInt64Array { 3 }));
}

TEST_F(PackedArrays, AppendArrayOfItselfAndConcatenation) {
	PackedInt64Array a { 1, 2 };
	a.append_array(a);
	EXPECT_EQ(a, (PackedInt64Array { 1, 2, 1, 2 }));
	EXPECT_EQ(a + PackedInt64Array { 3 }, (PackedInt64Array { 1, 2, 1, 2, 3 }));
}

TEST_F(PackedArrays, ByteViewsAreLittleEndian) {
	EXPECT_EQ((PackedInt64Array { 1 }).to_byte_array(), (PackedByteArray { 1, 0, 0, 0, 0, 0, 0, 0 }));
	PackedByteArray bytes;
	bytes.resize(8);
	bytes.encode_s32(0, -2);
	bytes.encode_u16(4, 0x1234);
	EXPECT_EQ(bytes.decode_s32(0), -2);
	EXPECT_EQ(bytes.decode_u8(4), 0x34);
	EXPECT_EQ(bytes.decode_u32(4), 0x1234);
	EXPECT_EQ(bytes.decode_u16(6), 0);
	EXPECT_EQ(bytes.decode_s64(1), 0);
	EXPECT_EQ(error_count(), 1u); // the 8-byte read at offset 1 does not fit
	EXPECT_EQ(bytes.to_int32_array(), (PackedInt32Array { -2, 0x1234 }));
	EXPECT_EQ((PackedByteArray { 0xab, 0x01 }).hex_encode(), "ab01");
	EXPECT_EQ((PackedByteArray { 'h', 'i' }).get_string_from_utf8(), "hi");
}

TEST_F(PackedArrays, StringArraysFromArraysStringifyElements) {
	const PackedStringArray strings(Array::make(int64_t(1), "a", StringName("b"), Vector3i(1, 2, 3)));
	EXPECT_EQ(strings, (PackedStringArray { "1", "a", "b", "(1, 2, 3)" }));
	EXPECT_TRUE(strings.has("a"));
}

TEST_F(PackedArrays, DuplicateIsIndependent) {
	const PackedFloat64Array a { 1.5 };
	PackedFloat64Array copy = a.duplicate();
	copy.set(0, 2.5);
	EXPECT_EQ(a[0], 1.5);
	EXPECT_EQ(PackedFloat64Array(Array::make(int64_t(2))).get(0), 2.0);
}

} // namespace
