// The three equalities (godot-cpp's operator==, the engine's OP_EQUAL, strict hash_compare),
// ordering, hashing and is_same.

#include "engine_errors.hpp"

#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cmath>
#include <limits>

using namespace godot;

namespace {

class VariantEquality : public EngineErrors {};

const double NaN = std::numeric_limits<double>::quiet_NaN();

// GDScript's ==: the result and whether an evaluator exists.
std::pair<bool, bool> engine_equal(const Variant &p_a, const Variant &p_b) {
	bool valid = false;
	Variant result;
	Variant::evaluate(Variant::OP_EQUAL, p_a, p_b, result, valid);
	return { result.booleanize(), valid };
}

TEST_F(VariantEquality, CppOperatorIsFalseAcrossTypes) {
	EXPECT_FALSE(Variant(int64_t(1)) == Variant(1.0));
	EXPECT_TRUE(Variant(int64_t(1)) != Variant(1.0));
	EXPECT_FALSE(Variant("a") == Variant(StringName("a")));
	EXPECT_FALSE(Variant(Vector3i(1, 2, 3)) == Variant(Vector3(1, 2, 3)));
	EXPECT_FALSE(Variant() == Variant(int64_t(0)));
	EXPECT_FALSE(Variant(static_cast<const Object *>(nullptr)) == Variant());
	EXPECT_TRUE(Variant() == Variant());
	EXPECT_TRUE(Variant("a") == Variant("a"));
}

// godot-cpp compares a builtin with a Variant against a nil: never equal, whatever it holds.
// The equal builtin and the equal Variant still compare by value.
template <typename T>
void expect_never_equal_to_a_variant(const T &p_value) {
	const Variant same(p_value);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
	EXPECT_FALSE(p_value == same) << same.stringify().utf8().get_data();
	EXPECT_TRUE(p_value != same);
	EXPECT_FALSE(p_value == Variant());
	EXPECT_TRUE(p_value != Variant());
#pragma GCC diagnostic pop
	EXPECT_TRUE(p_value == T(p_value));
	EXPECT_FALSE(p_value != T(p_value));
	EXPECT_TRUE(same == Variant(p_value));
}

TEST_F(VariantEquality, ABuiltinIsNeverEqualToAVariant) {
	expect_never_equal_to_a_variant(String("a"));
	expect_never_equal_to_a_variant(StringName("a"));
	expect_never_equal_to_a_variant(NodePath("a/b"));
	expect_never_equal_to_a_variant(Array::make(1, "a"));
	expect_never_equal_to_a_variant(Array());
	expect_never_equal_to_a_variant(TypedArray<Vector3i>());
	Dictionary dictionary;
	dictionary["a"] = 1;
	expect_never_equal_to_a_variant(dictionary);
	expect_never_equal_to_a_variant(Dictionary());
	expect_never_equal_to_a_variant(Callable());
	expect_never_equal_to_a_variant(PackedByteArray { 1, 2 });
	expect_never_equal_to_a_variant(PackedInt32Array { 1 });
	expect_never_equal_to_a_variant(PackedInt64Array { 1 });
	expect_never_equal_to_a_variant(PackedFloat32Array { 1.5f });
	expect_never_equal_to_a_variant(PackedFloat64Array { 1.5 });
	expect_never_equal_to_a_variant(PackedStringArray { "a" });
	expect_never_equal_to_a_variant(PackedVector2Array { Vector2(1, 2) });
	expect_never_equal_to_a_variant(PackedVector3Array { Vector3(1, 2, 3) });
}

TEST_F(VariantEquality, EngineEqualityCrossesNumbersAndText) {
	EXPECT_EQ(engine_equal(int64_t(1), 1.0), std::make_pair(true, true));
	EXPECT_EQ(engine_equal(1.5, int64_t(1)), std::make_pair(false, true));
	EXPECT_EQ(engine_equal("a", StringName("a")), std::make_pair(true, true));
	EXPECT_EQ(engine_equal(StringName("a"), "b"), std::make_pair(false, true));
	EXPECT_EQ(engine_equal(Variant(), Variant()), std::make_pair(true, true));
	EXPECT_EQ(engine_equal(Variant(), int64_t(0)), std::make_pair(false, true));
	EXPECT_EQ(engine_equal(Variant(static_cast<const Object *>(nullptr)), Variant()), std::make_pair(true, true));
}

TEST_F(VariantEquality, PairsWithoutAnEvaluatorAreInvalid) {
	EXPECT_FALSE(engine_equal(Vector3i(1, 2, 3), Vector3(1, 2, 3)).second);
	EXPECT_FALSE(engine_equal(true, int64_t(1)).second);
	EXPECT_FALSE(engine_equal(int64_t(1), "1").second);
	EXPECT_FALSE(engine_equal(PackedInt32Array { 1 }, PackedInt64Array { 1 }).second);
}

TEST_F(VariantEquality, NaNIsNeverEqualButIsTheSameKey) {
	EXPECT_FALSE(Variant(NaN) == Variant(NaN));
	EXPECT_FALSE(engine_equal(NaN, NaN).first);
	EXPECT_TRUE(Variant(NaN).hash_compare(Variant(NaN)));
	EXPECT_FALSE(Variant(NaN).hash_compare(Variant(NaN), 0, false));
	EXPECT_TRUE(UtilityFunctions::is_same(NaN, NaN));
}

TEST_F(VariantEquality, ArraysCompareElementsStrictly) {
	EXPECT_TRUE(Variant(Array::make(int64_t(1), int64_t(2))) == Variant(Array::make(int64_t(1), int64_t(2))));
	EXPECT_FALSE(Variant(Array::make(int64_t(1))) == Variant(Array::make(1.0)));
	EXPECT_FALSE(Variant(Array::make("a")) == Variant(Array::make(StringName("a"))));
	EXPECT_FALSE(Variant(Array::make(NaN)) == Variant(Array::make(NaN)));
	// Typed-ness is not part of equality.
	Array typed;
	typed.set_typed(Variant::INT, StringName(), Variant());
	typed.push_back(int64_t(1));
	EXPECT_TRUE(typed == Array::make(int64_t(1)));
}

TEST_F(VariantEquality, DictionariesCompareByKeysNotOrder) {
	Dictionary a;
	a["x"] = int64_t(1);
	a["y"] = int64_t(2);
	Dictionary b;
	b[StringName("y")] = int64_t(2);
	b["x"] = int64_t(1);
	EXPECT_TRUE(a == b);
	EXPECT_TRUE(Variant(a) == Variant(b));
	b["y"] = 2.0;
	EXPECT_FALSE(a == b);

	Dictionary int_key;
	int_key[int64_t(1)] = int64_t(1);
	Dictionary float_key;
	float_key[1.0] = int64_t(1);
	EXPECT_FALSE(int_key == float_key);
}

TEST_F(VariantEquality, PackedArraysCompareElementWise) {
	EXPECT_TRUE(Variant(PackedByteArray { 1, 2 }) == Variant(PackedByteArray { 1, 2 }));
	EXPECT_FALSE(Variant(PackedByteArray { 1, 2 }) == Variant(PackedByteArray { 1 }));
	EXPECT_FALSE(Variant(PackedInt32Array { 1 }) == Variant(PackedInt64Array { 1 }));
}

TEST_F(VariantEquality, OrderingFollowsGodotCpp) {
	// Different types order by type number: every String before every StringName.
	EXPECT_TRUE(Variant("zzz") < Variant(StringName("aaa")));
	EXPECT_FALSE(Variant(StringName("aaa")) < Variant("zzz"));
	EXPECT_TRUE(Variant(int64_t(2)) < Variant(int64_t(10)));
	EXPECT_TRUE(Variant("Water") < Variant("ale"));
	// No "<" for dictionaries: neither is less.
	EXPECT_FALSE(Variant(Dictionary()) < Variant(Dictionary()));

	bool valid = false;
	Variant result;
	Variant::evaluate(Variant::OP_LESS, int64_t(1), 1.5, result, valid);
	EXPECT_TRUE(valid);
	EXPECT_TRUE(result.booleanize());
	Variant::evaluate(Variant::OP_LESS, "a", StringName("b"), result, valid);
	EXPECT_FALSE(valid);
}

// The engine's operator table: the result, or nil when the pair has no evaluator.
Variant engine_evaluate(Variant::Operator p_op, const Variant &p_a, const Variant &p_b) {
	bool valid = false;
	Variant result;
	Variant::evaluate(p_op, p_a, p_b, result, valid);
	return valid ? result : Variant();
}

TEST_F(VariantEquality, OperatorTableFollowsTheEngine) {
	// <= and >= are the engine's own operators: never true against a NaN; bool has neither.
	EXPECT_EQ(engine_evaluate(Variant::OP_LESS_EQUAL, NaN, 1.0), Variant(false));
	EXPECT_EQ(engine_evaluate(Variant::OP_GREATER_EQUAL, int64_t(1), NaN), Variant(false));
	EXPECT_EQ(engine_evaluate(Variant::OP_LESS_EQUAL, Vector3(1, 2, NaN), Vector3(1, 2, 3)), Variant(false));
	EXPECT_EQ(engine_evaluate(Variant::OP_LESS_EQUAL, int64_t(2), 2.0), Variant(true));
	EXPECT_EQ(engine_evaluate(Variant::OP_LESS_EQUAL, false, true), Variant());
	EXPECT_EQ(engine_evaluate(Variant::OP_GREATER, true, false), Variant(true));
	// and/or/xor exist only among nil, bool, int, float and objects.
	EXPECT_EQ(engine_evaluate(Variant::OP_AND, int64_t(1), 2.5), Variant(true));
	EXPECT_EQ(engine_evaluate(Variant::OP_OR, "a", true), Variant());
	EXPECT_EQ(engine_evaluate(Variant::OP_XOR, Array(), Array()), Variant());
	// No float modulo; int times a cell scales it; text is found in a name too.
	EXPECT_EQ(engine_evaluate(Variant::OP_MODULE, 5.5, 2.0), Variant());
	EXPECT_EQ(engine_evaluate(Variant::OP_MODULE, int64_t(5), 2.0), Variant());
	EXPECT_EQ(engine_evaluate(Variant::OP_MULTIPLY, int64_t(2), Vector3i(1, -2, 3)), Variant(Vector3i(2, -4, 6)));
	EXPECT_EQ(engine_evaluate(Variant::OP_IN, "st", StringName("stair")), Variant(true));
	EXPECT_EQ(engine_evaluate(Variant::OP_NEGATE, Vector3(1, -2, 0), Variant()), Variant(Vector3(-1, 2, 0)));
	// A debug engine shifts no negative operand.
	EXPECT_EQ(engine_evaluate(Variant::OP_SHIFT_LEFT, int64_t(-1), int64_t(1)), Variant());
}

TEST_F(VariantEquality, StringAndStringNameHashAlike) {
	EXPECT_EQ(Variant("guest").hash(), Variant(StringName("guest")).hash());
	EXPECT_EQ(String("guest").hash(), StringName("guest").hash());
	// The engine's empty StringName hashes to 0 while "" hashes to 5381.
	EXPECT_EQ(StringName().hash(), 0);
	EXPECT_EQ(String().hash(), 5381);
	EXPECT_EQ(Variant(0.0).hash(), Variant(-0.0).hash());
	EXPECT_EQ(Variant(NaN).hash(), Variant(-NaN).hash());
	EXPECT_EQ(Variant(Array::make(int64_t(1))).hash(), Variant(Array::make(int64_t(1))).hash());
	EXPECT_NE(Variant(Vector3i(1, 2, 3)).hash(), Variant(Vector3i(3, 2, 1)).hash());
}

TEST_F(VariantEquality, IsSameIsIdentityForReferenceTypes) {
	Dictionary dictionary;
	EXPECT_TRUE(UtilityFunctions::is_same(dictionary, dictionary));
	EXPECT_FALSE(UtilityFunctions::is_same(dictionary, Dictionary()));
	Array array;
	Array alias = array;
	EXPECT_TRUE(UtilityFunctions::is_same(array, alias));
	EXPECT_FALSE(UtilityFunctions::is_same(array, array.duplicate()));

	// A copied Variant shares its packed array; each Variant made from a C++ value does not.
	const PackedByteArray bytes { 1 };
	const Variant wrapped = bytes;
	const Variant copied = wrapped;
	EXPECT_TRUE(UtilityFunctions::is_same(wrapped, copied));
	EXPECT_FALSE(UtilityFunctions::is_same(Variant(bytes), Variant(bytes)));
}

TEST_F(VariantEquality, IsSameIsEqualityForValueTypes) {
	EXPECT_TRUE(UtilityFunctions::is_same(int64_t(1), int64_t(1)));
	EXPECT_FALSE(UtilityFunctions::is_same(int64_t(1), 1.0));
	EXPECT_FALSE(UtilityFunctions::is_same("a", StringName("a")));
	EXPECT_TRUE(UtilityFunctions::is_same(String("a"), String("a")));
	EXPECT_TRUE(UtilityFunctions::is_same(Vector3i(1, 2, 3), Vector3i(1, 2, 3)));
	const Variant null_object(static_cast<const Object *>(nullptr));
	EXPECT_FALSE(UtilityFunctions::is_same(null_object, Variant()));
	EXPECT_TRUE(UtilityFunctions::is_same(null_object, Variant(static_cast<const Object *>(nullptr))));
	EXPECT_TRUE(UtilityFunctions::is_same(Callable(), Callable()));
}

TEST_F(VariantEquality, StringLikeCompareIsStrictPlusText) {
	EXPECT_TRUE(Variant("a").string_like_compare(StringName("a")));
	EXPECT_TRUE(Variant(StringName("a")).string_like_compare("a"));
	EXPECT_FALSE(Variant(int64_t(1)).string_like_compare(1.0));
	EXPECT_FALSE(Variant("1").string_like_compare(int64_t(1)));
}

} // namespace
