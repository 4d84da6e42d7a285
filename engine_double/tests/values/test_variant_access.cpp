// Keyed and indexed access through a Variant, duplicate(), and the utility functions that
// convert and inspect values.

#include "engine_errors.hpp"

#include <godot_cpp/variant/typed_dictionary.hpp>
#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_cpp/variant/variant.hpp>

using namespace godot;

namespace {

class VariantAccessTest : public EngineErrors {};

TEST_F(VariantAccessTest, KeyedAccessOnDictionaries) {
	Dictionary d;
	Variant holder = d;
	bool valid = false;
	holder.set("k", int64_t(3), &valid);
	EXPECT_TRUE(valid);
	EXPECT_EQ(int64_t(d["k"]), 3); // the Variant shares the dictionary
	EXPECT_EQ(int64_t(holder.get(StringName("k"), &valid)), 3);
	EXPECT_TRUE(valid);
	holder.get("missing", &valid);
	EXPECT_FALSE(valid);
	EXPECT_TRUE(holder.has_key("k"));
	EXPECT_TRUE(Variant("k").in(holder));
	EXPECT_FALSE(Variant("x").in(holder));
}

TEST_F(VariantAccessTest, IndexedAccessAcceptsNegativeIndices) {
	Variant holder = Array::make("a", "b", "c");
	bool valid = false;
	bool out_of_bounds = false;
	EXPECT_EQ(String(holder.get_indexed(-1, valid, out_of_bounds)), "c");
	EXPECT_TRUE(valid);
	holder.get_indexed(3, valid, out_of_bounds);
	EXPECT_FALSE(valid);
	EXPECT_TRUE(out_of_bounds);
	holder.set_indexed(0, "z", valid, out_of_bounds);
	EXPECT_EQ(String(Array(holder)[0]), "z");
	EXPECT_EQ(String(Variant("hello").get_indexed(1, valid, out_of_bounds)), "e");
	EXPECT_EQ(int64_t(Variant(PackedInt64Array { 4, 5 }).get(int64_t(-1), &valid)), 5);
}

TEST_F(VariantAccessTest, InLooksThroughContainersAndText) {
	EXPECT_TRUE(Variant(StringName("a")).in(Array::make("a")));
	EXPECT_FALSE(Variant(1.0).in(Array::make(int64_t(1))));
	EXPECT_TRUE(Variant("ell").in("hello"));
	bool valid = true;
	EXPECT_FALSE(Variant(int64_t(1)).in(int64_t(1), &valid)); // an int is no container
	EXPECT_FALSE(valid);
}

TEST_F(VariantAccessTest, DuplicateOfPackedArraysIsANewReference) {
	const Variant bytes = PackedByteArray { 1 };
	const Variant copy = bytes.duplicate();
	EXPECT_TRUE(copy == bytes);
	EXPECT_FALSE(UtilityFunctions::is_same(copy, bytes));
	const Variant text = "same";
	EXPECT_TRUE(UtilityFunctions::is_same(text.duplicate(), text));
}

TEST_F(VariantAccessTest, DeepDuplicateThroughVariant) {
	Array inner = Array::make(int64_t(1));
	const Variant outer = Array::make(inner);
	const Variant copy = outer.duplicate(true);
	Array(Array(copy)[0]).push_back(int64_t(2));
	EXPECT_EQ(inner.size(), 1);
	const Variant shallow = outer.duplicate();
	Array(Array(shallow)[0]).push_back(int64_t(3));
	EXPECT_EQ(inner.size(), 2);
}

TEST_F(VariantAccessTest, TypeConvertAndTypeOf) {
	EXPECT_EQ(UtilityFunctions::type_of("x"), Variant::STRING);
	EXPECT_EQ(UtilityFunctions::type_convert("12.7", Variant::INT).get_type(), Variant::INT);
	EXPECT_EQ(int64_t(UtilityFunctions::type_convert("12.7", Variant::INT)), 12);
	EXPECT_EQ(UtilityFunctions::type_convert(int64_t(5), Variant::STRING_NAME).get_type(), Variant::STRING_NAME);
	EXPECT_TRUE(StringName(UtilityFunctions::type_convert(int64_t(5), Variant::STRING_NAME)).is_empty());
	EXPECT_EQ(Vector3i(UtilityFunctions::type_convert(Vector3(1.5, 2.5, -0.5), Variant::VECTOR3I)), Vector3i(1, 2, 0));
	EXPECT_EQ(UtilityFunctions::type_string(Variant::VECTOR3I), "Vector3i");
	EXPECT_EQ(UtilityFunctions::type_string(99), "<invalid type>");
	EXPECT_EQ(errors(), std::vector<std::string> { "Invalid type argument to type_string(), use the TYPE_* constants." });
}

TEST_F(VariantAccessTest, IntegerHelpers) {
	EXPECT_EQ(UtilityFunctions::posmod(-7, 3), 2);
	EXPECT_EQ(UtilityFunctions::posmod(7, -3), -2);
	EXPECT_EQ(UtilityFunctions::posmod(5, 0), 0);
	EXPECT_EQ(error_count(), 1u);
	EXPECT_EQ(UtilityFunctions::clampi(15, 0, 10), 10);
	EXPECT_EQ(UtilityFunctions::absi(INT64_MIN), INT64_MIN);
	EXPECT_EQ(UtilityFunctions::floori(-1.5), -2);
	EXPECT_EQ(UtilityFunctions::signi(-9), -1);
	UtilityFunctions::seed(42);
	const int64_t first = UtilityFunctions::randi_range(1, 6);
	UtilityFunctions::seed(42);
	EXPECT_EQ(UtilityFunctions::randi_range(1, 6), first);
	EXPECT_GE(first, 1);
	EXPECT_LE(first, 6);
}

TEST_F(VariantAccessTest, VectorConversionsBetweenKinds) {
	EXPECT_EQ(Vector2(Variant(Vector2i(3, -4))), Vector2(3, -4));
	EXPECT_EQ(Vector2i(Variant(Vector2(3.9, -4.9))), Vector2i(3, -4));
	EXPECT_EQ(Vector3(Variant(Vector2(1, 2))), Vector3(1, 2, 0));
	EXPECT_EQ(Vector2i(Variant(Vector3i(7, 8, 9))), Vector2i(7, 8));
	EXPECT_EQ(Variant(Vector2(0.5, 1)).stringify(), "(0.5, 1.0)");
	EXPECT_EQ(Variant(Vector2i(0, -1)).stringify(), "(0, -1)");
}

TEST_F(VariantAccessTest, TypedDictionaryAssignConvertsOrExplains) {
	Dictionary source;
	source["a"] = 1.5;
	source["b"] = int64_t(2);
	Dictionary typed;
	typed.set_typed(Variant::STRING_NAME, StringName(), Variant(), Variant::INT, StringName(), Variant());
	typed.assign(source);
	ASSERT_EQ(typed.size(), 2);
	EXPECT_EQ(typed.keys()[0].get_type(), Variant::STRING_NAME);
	EXPECT_EQ(int64_t(typed[StringName("a")]), 1);

	Dictionary bad;
	bad["a"] = "text";
	typed.assign(bad);
	EXPECT_EQ(errors(), std::vector<std::string> { "Unable to convert value at key 'a' from 'String' to 'int'." });
	EXPECT_EQ(typed.size(), 2);

	engine_double::error_log_clear();
	TypedDictionary<int64_t, int64_t> numbers;
	TypedDictionary<Vector3i, int64_t> cells(numbers);
	EXPECT_EQ(errors(), std::vector<std::string> { "Cannot assign contents of 'Dictionary[int, int]' to 'Dictionary[Vector3i, int]'." });
	EXPECT_TRUE(cells.is_empty());
}

TEST_F(VariantAccessTest, DictionarySetTypedRules) {
	Dictionary filled;
	filled["x"] = true;
	filled.set_typed(Variant::INT, StringName(), Variant(), Variant::NIL, StringName(), Variant());
	Dictionary twice;
	twice.set_typed(Variant::INT, StringName(), Variant(), Variant::NIL, StringName(), Variant());
	twice.set_typed(Variant::INT, StringName(), Variant(), Variant::NIL, StringName(), Variant());
	EXPECT_EQ(errors(), (std::vector<std::string> { "Type can only be set when dictionary is empty.", "Type can only be set once." }));
	EXPECT_TRUE(twice.is_typed_key());
	EXPECT_FALSE(twice.is_typed_value());
	EXPECT_FALSE(filled.is_typed());
}

} // namespace
