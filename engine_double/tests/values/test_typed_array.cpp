// Typed arrays: TypedArray<T> construction against assignment, the validator's conversions
// and messages, and the typed queries.

#include "engine_errors.hpp"

#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_cpp/variant/variant.hpp>

using namespace godot;

namespace {

class TypedArrays : public EngineErrors {};

TEST_F(TypedArrays, TypedArrayKnowsItsElementType) {
	EXPECT_EQ(TypedArray<Vector3i>().get_typed_builtin(), Variant::VECTOR3I);
	EXPECT_EQ(TypedArray<int64_t>().get_typed_builtin(), Variant::INT);
	EXPECT_EQ(TypedArray<int32_t>().get_typed_builtin(), Variant::INT);
	EXPECT_EQ(TypedArray<StringName>().get_typed_builtin(), Variant::STRING_NAME);
	EXPECT_EQ(TypedArray<Dictionary>().get_typed_builtin(), Variant::DICTIONARY);
	EXPECT_TRUE(TypedArray<Vector3i>().is_typed());
	EXPECT_TRUE(TypedArray<Vector3i>().get_typed_class_name().is_empty());
	EXPECT_EQ(TypedArray<Vector3i>().get_typed_script().get_type(), Variant::NIL);
	EXPECT_FALSE(Array().is_typed());
	EXPECT_EQ(Array().get_typed_builtin(), 0);
}

TEST_F(TypedArrays, ConstructionFromAnUntypedArrayConvertsIntoANewArray) {
	Array untyped = Array::make(Vector3i(1, 2, 3), Vector3(4.9, -5.9, 6));
	TypedArray<Vector3i> cells(untyped);
	ASSERT_EQ(cells.size(), 2);
	EXPECT_EQ(Vector3i(cells[1]), Vector3i(4, -5, 6));
	EXPECT_FALSE(UtilityFunctions::is_same(cells, untyped));
	EXPECT_EQ(error_count(), 0u);
}

TEST_F(TypedArrays, ConstructionFromTheSameTypeShares) {
	TypedArray<Vector3i> first;
	first.push_back(Vector3i(1, 1, 1));
	TypedArray<Vector3i> second(static_cast<const Array &>(first));
	EXPECT_TRUE(UtilityFunctions::is_same(first, second));
	const Variant through = first;
	TypedArray<Vector3i> third = through;
	EXPECT_TRUE(UtilityFunctions::is_same(first, third));
}

TEST_F(TypedArrays, FailedConstructionLeavesAnEmptyTypedArray) {
	TypedArray<Vector3i> cells(Array::make(int64_t(1), int64_t(2)));
	EXPECT_TRUE(cells.is_empty());
	EXPECT_TRUE(cells.is_typed());
	EXPECT_EQ(errors(), std::vector<std::string> { "Unable to convert array index 0 from 'int' to 'Vector3i'." });

	engine_double::error_log_clear();
	TypedArray<Vector3i> partial(Array::make(Vector3i(), Variant()));
	EXPECT_TRUE(partial.is_empty());
	EXPECT_EQ(errors(), std::vector<std::string> { "Unable to convert array index 1 from 'Nil' to 'Vector3i'." });
}

TEST_F(TypedArrays, ConstructionFromAnotherTypedArray) {
	TypedArray<int64_t> integers;
	integers.push_back(int64_t(1));
	TypedArray<Vector3i> cells(integers);
	EXPECT_TRUE(cells.is_empty());
	EXPECT_EQ(errors(), std::vector<std::string> { "Cannot assign contents of 'Array[int]' to 'Array[Vector3i]'." });

	TypedArray<double> floats(integers);
	ASSERT_EQ(floats.size(), 1);
	EXPECT_EQ(floats[0].get_type(), Variant::FLOAT);
}

TEST_F(TypedArrays, ConstructionFromAVariantGoesThroughArray) {
	TypedArray<int64_t> from_packed = Variant(PackedInt64Array { 4, 5 });
	EXPECT_EQ(from_packed.size(), 2);
	EXPECT_EQ(from_packed.get_typed_builtin(), Variant::INT);
	TypedArray<int64_t> from_scalar = Variant("text");
	EXPECT_TRUE(from_scalar.is_empty());
	EXPECT_TRUE(from_scalar.is_typed());
}

TEST_F(TypedArrays, StringNamesFromStrings) {
	TypedArray<StringName> names(Array::make("a", StringName("b")));
	ASSERT_EQ(names.size(), 2);
	EXPECT_EQ(names[0].get_type(), Variant::STRING_NAME);
	EXPECT_TRUE(names.has("a"));
}

TEST_F(TypedArrays, AssigningAnotherElementTypeIsRefused) {
	TypedArray<Vector3i> cells;
	cells.push_back(Vector3i(9, 9, 9));
	const Array before = cells;
	Array untyped = Array::make(Vector3i(1, 2, 3));
	cells = untyped;
	EXPECT_EQ(errors(), std::vector<std::string> { "Cannot assign an array with a different element type." });
	EXPECT_TRUE(UtilityFunctions::is_same(cells, before));
	EXPECT_EQ(Vector3i(cells[0]), Vector3i(9, 9, 9));

	TypedArray<Vector3i> other;
	cells = static_cast<const Array &>(other);
	EXPECT_TRUE(UtilityFunctions::is_same(cells, other));
}

TEST_F(TypedArrays, WrongElementIsReportedAndDropped) {
	TypedArray<int64_t> numbers;
	numbers.push_back("text");
	numbers.append(Vector3i());
	EXPECT_TRUE(numbers.is_empty());
	EXPECT_EQ(errors(), (std::vector<std::string> {
	                            "Attempted to push_back a variable of type 'String' into a TypedArray of incompatible type 'int'.",
	                            "Condition \"!_p->typed.validate(value, \"push_back\")\" is true.",
	                            "Attempted to push_back a variable of type 'Vector3i' into a TypedArray of incompatible type 'int'.",
	                            "Condition \"!_p->typed.validate(value, \"push_back\")\" is true.",
	                    }));
}

TEST_F(TypedArrays, ConvertibleElementsAreConverted) {
	TypedArray<int64_t> numbers;
	numbers.push_back(1.9);
	numbers.push_back(true);
	EXPECT_EQ(numbers, Array::make(int64_t(1), int64_t(1)));
	EXPECT_EQ(numbers[0].get_type(), Variant::INT);
	EXPECT_TRUE(numbers.has(1.5));
	EXPECT_EQ(numbers.find(1.2), 0);
	EXPECT_EQ(error_count(), 0u);
}

TEST_F(TypedArrays, NilIsRejectedByBuiltinTypes) {
	TypedArray<Dictionary> dictionaries;
	dictionaries.push_back(Variant());
	EXPECT_TRUE(dictionaries.is_empty());
	ASSERT_EQ(error_count(), 2u);
	EXPECT_EQ(errors()[0], "Attempted to push_back a variable of type 'Nil' into a TypedArray of incompatible type 'Dictionary'.");
}

TEST_F(TypedArrays, SearchWithAnIncompatibleValue) {
	TypedArray<int64_t> numbers;
	numbers.push_back(int64_t(1));
	EXPECT_FALSE(numbers.has("1"));
	EXPECT_EQ(numbers.count(Vector3i()), 0);
	EXPECT_EQ(errors(), (std::vector<std::string> {
	                            "Attempted to use 'has' with a variable of type 'String' into a TypedArray of incompatible type 'int'.",
	                            "Condition \"!_p->typed.validate(value, \"use 'has' with\")\" is true. Returning: false",
	                            "Attempted to count a variable of type 'Vector3i' into a TypedArray of incompatible type 'int'.",
	                            "Condition \"!_p->typed.validate(value, \"count\")\" is true. Returning: 0",
	                    }));
}

TEST_F(TypedArrays, IndexWriteSkipsValidation) {
	// As in the engine, operator[] writes are not checked.
	TypedArray<int64_t> numbers;
	numbers.push_back(int64_t(1));
	numbers[0] = "text";
	EXPECT_EQ(numbers[0].get_type(), Variant::STRING);
	EXPECT_EQ(error_count(), 0u);
	numbers.set(0, "again");
	EXPECT_EQ(numbers[0].get_type(), Variant::STRING);
	EXPECT_EQ(error_count(), 2u);
}

TEST_F(TypedArrays, SetTypedRules) {
	Array a;
	a.set_typed(Variant::INT, StringName(), Variant());
	a.set_typed(Variant::FLOAT, StringName(), Variant());
	Array filled = Array::make(int64_t(1));
	filled.set_typed(Variant::INT, StringName(), Variant());
	Array shared;
	Array alias = shared;
	shared.set_typed(Variant::INT, StringName(), Variant());
	Array named;
	named.set_typed(Variant::INT, StringName("Node"), Variant());
	EXPECT_EQ(errors(), (std::vector<std::string> {
	                            "Type can only be set once.",
	                            "Type can only be set when array is empty.",
	                            "Type can only be set when array has no more than one user.",
	                            "Class names can only be set for type OBJECT",
	                    }));
	EXPECT_EQ(a.get_typed_builtin(), Variant::INT);
	EXPECT_FALSE(shared.is_typed());
}

TEST_F(TypedArrays, TypedCopyConstructor) {
	const Array source = Array::make("1", "x");
	const Array typed(source, Variant::STRING_NAME, StringName(), Variant());
	EXPECT_EQ(typed.get_typed_builtin(), Variant::STRING_NAME);
	EXPECT_EQ(typed[1].get_type(), Variant::STRING_NAME);
	EXPECT_TRUE(typed.is_same_typed(TypedArray<StringName>()));
	EXPECT_FALSE(typed.is_same_typed(Array()));
}

TEST_F(TypedArrays, DuplicateAndSliceKeepTheType) {
	TypedArray<int64_t> numbers;
	numbers.push_back(int64_t(1));
	numbers.make_read_only();
	const Array copy = numbers.duplicate(true);
	EXPECT_EQ(copy.get_typed_builtin(), Variant::INT);
	EXPECT_FALSE(copy.is_read_only());
	EXPECT_EQ(numbers.slice(0).get_typed_builtin(), Variant::INT);
}

} // namespace
