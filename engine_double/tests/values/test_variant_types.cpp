// Variant type codes, type names and booleanize.

#include "engine_errors.hpp"

#include <godot_cpp/variant/variant.hpp>

#include <cmath>
#include <limits>

using namespace godot;

namespace {

class VariantTypes : public EngineErrors {};

TEST_F(VariantTypes, TypeCodesAreTheEngineAbi) {
	EXPECT_EQ(Variant::NIL, 0);
	EXPECT_EQ(Variant::BOOL, 1);
	EXPECT_EQ(Variant::INT, 2);
	EXPECT_EQ(Variant::FLOAT, 3);
	EXPECT_EQ(Variant::STRING, 4);
	EXPECT_EQ(Variant::VECTOR3I, 10);
	EXPECT_EQ(Variant::STRING_NAME, 21);
	EXPECT_EQ(Variant::OBJECT, 24);
	EXPECT_EQ(Variant::CALLABLE, 25);
	EXPECT_EQ(Variant::DICTIONARY, 27);
	EXPECT_EQ(Variant::ARRAY, 28);
	EXPECT_EQ(Variant::PACKED_BYTE_ARRAY, 29);
	EXPECT_EQ(Variant::PACKED_INT64_ARRAY, 31);
	EXPECT_EQ(Variant::PACKED_VECTOR4_ARRAY, 38);
	EXPECT_EQ(Variant::VARIANT_MAX, 39);
	EXPECT_EQ(Variant::OP_IN, 24);
	EXPECT_EQ(Variant::OP_MAX, 25);
}

TEST_F(VariantTypes, ConstructionPicksTheEngineType) {
	EXPECT_EQ(Variant("text").get_type(), Variant::STRING);
	EXPECT_EQ(Variant(U"text").get_type(), Variant::STRING);
	EXPECT_EQ(Variant(StringName("text")).get_type(), Variant::STRING_NAME);
	EXPECT_EQ(Variant(uint8_t(7)).get_type(), Variant::INT);
	EXPECT_EQ(Variant(2.5f).get_type(), Variant::FLOAT);
	EXPECT_EQ(Variant(true).get_type(), Variant::BOOL);
	EXPECT_EQ(Variant(Vector3i(1, 2, 3)).get_type(), Variant::VECTOR3I);
	EXPECT_EQ(Variant(PackedInt64Array()).get_type(), Variant::PACKED_INT64_ARRAY);
	EXPECT_EQ(Variant(nullptr).get_type(), Variant::NIL);
	// uint64 is stored as the same 64 bits.
	EXPECT_EQ(int64_t(Variant(uint64_t(18446744073709551615ull))), -1);
}

TEST_F(VariantTypes, NullObjectIsObjectTypedNotNil) {
	const Variant null_object(static_cast<const Object *>(nullptr));
	EXPECT_EQ(null_object.get_type(), Variant::OBJECT);
	EXPECT_FALSE(null_object.booleanize());
	EXPECT_EQ(null_object.get_validated_object(), nullptr);
	EXPECT_EQ(static_cast<Object *>(null_object), nullptr);
	EXPECT_EQ(error_count(), 0u);
}

TEST_F(VariantTypes, TypeNamesUseTheEngineSpelling) {
	EXPECT_EQ(Variant::get_type_name(Variant::NIL), "Nil");
	EXPECT_EQ(Variant::get_type_name(Variant::BOOL), "bool");
	EXPECT_EQ(Variant::get_type_name(Variant::INT), "int");
	EXPECT_EQ(Variant::get_type_name(Variant::FLOAT), "float");
	EXPECT_EQ(Variant::get_type_name(Variant::STRING_NAME), "StringName");
	EXPECT_EQ(Variant::get_type_name(Variant::PACKED_VECTOR4_ARRAY), "PackedVector4Array");
	EXPECT_EQ(Variant::get_type_by_name("Vector3i"), Variant::VECTOR3I);
	EXPECT_EQ(Variant::get_type_by_name("NoSuchType"), Variant::VARIANT_MAX);
}

TEST_F(VariantTypes, BooleanizeOfScalars) {
	EXPECT_FALSE(Variant().booleanize());
	EXPECT_FALSE(Variant(false).booleanize());
	EXPECT_FALSE(Variant(int64_t(0)).booleanize());
	EXPECT_TRUE(Variant(int64_t(-1)).booleanize());
	EXPECT_FALSE(Variant(0.0).booleanize());
	EXPECT_FALSE(Variant(-0.0).booleanize());
	EXPECT_TRUE(Variant(std::numeric_limits<double>::quiet_NaN()).booleanize());
	EXPECT_TRUE(Variant(1e-300).booleanize());
}

TEST_F(VariantTypes, BooleanizeOfTextIsEmptiness) {
	EXPECT_FALSE(Variant("").booleanize());
	EXPECT_TRUE(Variant("0").booleanize());
	EXPECT_TRUE(Variant("false").booleanize());
	EXPECT_FALSE(Variant(StringName()).booleanize());
	EXPECT_FALSE(Variant(StringName("")).booleanize());
	EXPECT_TRUE(Variant(StringName("x")).booleanize());
	EXPECT_FALSE(Variant(NodePath()).booleanize());
}

TEST_F(VariantTypes, BooleanizeOfVectorsAndContainers) {
	EXPECT_FALSE(Variant(Vector3i()).booleanize());
	EXPECT_TRUE(Variant(Vector3i(0, 0, 1)).booleanize());
	EXPECT_FALSE(Variant(Vector2()).booleanize());
	EXPECT_FALSE(Variant(Dictionary()).booleanize());
	EXPECT_FALSE(Variant(Array()).booleanize());
	EXPECT_FALSE(Variant(PackedByteArray()).booleanize());
	EXPECT_FALSE(Variant(PackedStringArray()).booleanize());
	EXPECT_FALSE(Variant(Callable()).booleanize());

	Dictionary dictionary;
	dictionary["k"] = Variant();
	EXPECT_TRUE(Variant(dictionary).booleanize());
	Array array;
	array.push_back(Variant());
	EXPECT_TRUE(Variant(array).booleanize());
	EXPECT_TRUE(Variant(PackedInt64Array { 0 }).booleanize());
	// operator bool is booleanize.
	EXPECT_FALSE(bool(Variant(Array())));
}

TEST_F(VariantTypes, CopiesAndMovesKeepTheValue) {
	Variant text("shared");
	Variant copy = text;
	Variant moved = std::move(text);
	EXPECT_EQ(text.get_type(), Variant::NIL);
	EXPECT_EQ(String(copy), "shared");
	EXPECT_EQ(String(moved), "shared");

	Variant callable = Callable();
	Variant callable_moved = std::move(callable);
	EXPECT_EQ(callable_moved.get_type(), Variant::CALLABLE);

	Variant self_assigned = Vector3i(1, 2, 3);
	const Variant &alias = self_assigned;
	self_assigned = alias;
	EXPECT_EQ(Vector3i(self_assigned), Vector3i(1, 2, 3));
}

TEST_F(VariantTypes, AssigningAContainerElementOverItsContainerIsSafe) {
	// The source lives inside the container the target releases.
	Array inner;
	inner.push_back("payload");
	Array outer;
	outer.push_back(inner);
	Variant holder = outer;
	holder = Array(holder)[0];
	EXPECT_EQ(Variant(holder).get_type(), Variant::ARRAY);

	Variant only_reference = Array::make(Array::make("deep"));
	only_reference = Array(only_reference)[0];
	EXPECT_EQ(String(Array(only_reference)[0]), "deep");
}

TEST_F(VariantTypes, ClearMakesNil) {
	Variant value = Array::make(1, 2);
	value.clear();
	EXPECT_EQ(value.get_type(), Variant::NIL);
}

} // namespace
