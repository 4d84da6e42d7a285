// Array: sharing, search with the engine's comparators, index errors, read-only, sort,
// duplicate and slice.

#include "engine_errors.hpp"

#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_cpp/variant/variant.hpp>

using namespace godot;

namespace {

class ArrayBehaviour : public EngineErrors {};

TEST_F(ArrayBehaviour, CopiesShareElements) {
	Array a;
	Array b = a;
	b.push_back(int64_t(1));
	EXPECT_EQ(a.size(), 1);
	Array c = Variant(a);
	c[0] = int64_t(5);
	EXPECT_EQ(int64_t(a[0]), 5);
}

TEST_F(ArrayBehaviour, SearchFindsStringNameByStringButNotFloatByInt) {
	const Array texts = Array::make("a", "b");
	EXPECT_TRUE(texts.has(StringName("a")));
	EXPECT_EQ(texts.find(StringName("b")), 1);
	EXPECT_EQ(texts.rfind(StringName("a")), 0);
	EXPECT_EQ(Array::make("a", StringName("a")).count("a"), 2);

	const Array numbers = Array::make(int64_t(1));
	EXPECT_FALSE(numbers.has(1.0));
	EXPECT_EQ(numbers.find(int64_t(1), -1), -1);
	EXPECT_EQ(Array().find(int64_t(1)), -1);
}

TEST_F(ArrayBehaviour, EraseIsStrict) {
	Array texts = Array::make("a");
	texts.erase(StringName("a"));
	EXPECT_EQ(texts.size(), 1);
	texts.erase("a");
	EXPECT_TRUE(texts.is_empty());

	Array repeated = Array::make(int64_t(1), int64_t(2), int64_t(1));
	repeated.erase(int64_t(1));
	EXPECT_EQ(repeated, Array::make(int64_t(2), int64_t(1)));
}

TEST_F(ArrayBehaviour, InsertAndRemoveAtCountNegativeIndicesFromTheEnd) {
	Array a = Array::make(int64_t(1), int64_t(3));
	EXPECT_EQ(a.insert(-1, int64_t(2)), OK);
	EXPECT_EQ(a.insert(3, int64_t(4)), OK);
	EXPECT_EQ(a, Array::make(int64_t(1), int64_t(2), int64_t(3), int64_t(4)));
	a.remove_at(-1);
	EXPECT_EQ(a.size(), 3);
	EXPECT_EQ(error_count(), 0u);

	EXPECT_EQ(a.insert(5, int64_t(9)), ERR_INVALID_PARAMETER);
	a.remove_at(-7);
	EXPECT_EQ(errors(), (std::vector<std::string> {
	                            "The calculated index 5 is out of bounds (the array has 3 elements). Leaving the array untouched.",
	                            "The calculated index -4 is out of bounds (the array has 3 elements). Leaving the array untouched.",
	                    }));
	EXPECT_EQ(a.size(), 3);
}

TEST_F(ArrayBehaviour, PopOnEmptyIsSilentPopAtOutOfRangeIsNot) {
	Array a;
	EXPECT_EQ(a.pop_back().get_type(), Variant::NIL);
	EXPECT_EQ(a.pop_front().get_type(), Variant::NIL);
	EXPECT_EQ(a.pop_at(3).get_type(), Variant::NIL);
	EXPECT_EQ(error_count(), 0u);
	a.push_back("x");
	EXPECT_EQ(a.pop_at(4).get_type(), Variant::NIL);
	EXPECT_EQ(errors(), std::vector<std::string> { "The calculated index 4 is out of bounds (the array has 1 elements). Leaving the array untouched and returning `null`." });
	EXPECT_EQ(String(a.pop_at(-1)), "x");
}

TEST_F(ArrayBehaviour, GetAndSetRejectNegativeAndOutOfRange) {
	Array a = Array::make(int64_t(1), int64_t(2), int64_t(3));
	EXPECT_EQ(a.get(5).get_type(), Variant::NIL);
	EXPECT_EQ(a.get(-1).get_type(), Variant::NIL);
	a.set(3, int64_t(0));
	EXPECT_EQ(errors(), (std::vector<std::string> {
	                            "Index p_index = 5 is out of bounds (p_instance->size() = 3).",
	                            "Index p_index = -1 is out of bounds (p_instance->size() = 3).",
	                            "Index p_index = 3 is out of bounds (p_instance->size() = 3).",
	                    }));
	EXPECT_EQ(a, Array::make(int64_t(1), int64_t(2), int64_t(3)));
}

TEST_F(ArrayBehaviour, IndexOutOfRangeIsReportedInsteadOfCrashing) {
	Array a = Array::make(int64_t(1));
	a[3] = int64_t(7); // lands in a scratch value
	const Array &read = a;
	EXPECT_EQ(read[-1].get_type(), Variant::NIL);
	EXPECT_EQ(errors(), std::vector<std::string>(2, "Array::operator[] index out of range (the engine would crash)"));
	EXPECT_EQ(a, Array::make(int64_t(1)));
}

TEST_F(ArrayBehaviour, ReadOnlyRefusesEveryMutator) {
	Array a = Array::make(int64_t(2), int64_t(1));
	a.make_read_only();
	a.push_back(int64_t(3));
	a.push_front(int64_t(0));
	a.append_array(Array::make(int64_t(4)));
	EXPECT_EQ(a.insert(0, int64_t(0)), ERR_LOCKED);
	EXPECT_EQ(a.resize(5), ERR_LOCKED);
	a.remove_at(0);
	a.erase(int64_t(1));
	a.fill(int64_t(0));
	a.sort();
	a.reverse();
	a.shuffle();
	a.clear();
	a.set(0, int64_t(9));
	EXPECT_EQ(a.pop_back().get_type(), Variant::NIL);
	EXPECT_EQ(errors(), std::vector<std::string>(14, "Array is in read-only state."));
	EXPECT_EQ(a, Array::make(int64_t(2), int64_t(1)));

	engine_double::error_log_clear();
	a[0] = int64_t(100); // silently lost
	EXPECT_EQ(int64_t(a[0]), 2);
	EXPECT_EQ(error_count(), 0u);
	a.assign(Array::make("replaced")); // assign has no read-only check
	EXPECT_EQ(a, Array::make("replaced"));
}

TEST_F(ArrayBehaviour, SortUsesTheEngineLess) {
	Array numbers = Array::make(int64_t(3), 1.5, int64_t(-2), 2.0);
	numbers.sort();
	EXPECT_EQ(numbers, Array::make(int64_t(-2), 1.5, 2.0, int64_t(3)));

	Array words = Array::make("b", "Z", "a10", "a9", "", "ab");
	words.sort();
	EXPECT_EQ(words, Array::make("", "Z", "a10", "a9", "ab", "b"));
}

TEST_F(ArrayBehaviour, BsearchGivesLowerAndUpperBounds) {
	const Array fruits = Array::make("Apple", "Lemon", "Lemon", "Orange");
	EXPECT_EQ(fruits.bsearch("Lemon"), 1);
	EXPECT_EQ(fruits.bsearch("Lemon", false), 3);
	EXPECT_EQ(fruits.bsearch("Zucchini"), 4);
	EXPECT_EQ(Array().bsearch(int64_t(1)), 0);
}

TEST_F(ArrayBehaviour, DuplicateShallowSharesDeepCopies) {
	Array inner = Array::make(int64_t(1));
	Dictionary nested_dictionary;
	nested_dictionary["list"] = Array::make(int64_t(2));
	Array outer = Array::make(inner, nested_dictionary);
	outer.make_read_only();

	Array shallow = outer.duplicate();
	EXPECT_FALSE(shallow.is_read_only());
	EXPECT_TRUE(UtilityFunctions::is_same(shallow[0], inner));

	Array deep = outer.duplicate(true);
	EXPECT_TRUE(deep == outer);
	Array(deep[0]).push_back(int64_t(5));
	Dictionary deep_dictionary = deep[1];
	Array(deep_dictionary["list"]).push_back(int64_t(6));
	EXPECT_EQ(inner.size(), 1);
	EXPECT_EQ(Array(nested_dictionary["list"]).size(), 1);
}

TEST_F(ArrayBehaviour, DeepDuplicateOfASelfReferenceStops) {
	Array a;
	a.push_back(a);
	const Array copy = a.duplicate(true);
	EXPECT_EQ(copy.size(), 1);
	ASSERT_FALSE(errors().empty());
	EXPECT_EQ(errors().back(), "Max recursion reached");
	a.clear();
}

TEST_F(ArrayBehaviour, SliceFollowsTheEngine) {
	const Array a = Array::make(int64_t(0), int64_t(1), int64_t(2), int64_t(3), int64_t(4));
	EXPECT_EQ(a.slice(1, 3), Array::make(int64_t(1), int64_t(2)));
	EXPECT_EQ(a.slice(-2), Array::make(int64_t(3), int64_t(4)));
	EXPECT_EQ(a.slice(4, 0, -2), Array::make(int64_t(4), int64_t(2)));
	EXPECT_EQ(a.slice(0, 5, 2), Array::make(int64_t(0), int64_t(2), int64_t(4)));
	EXPECT_TRUE(a.slice(3, 1).is_empty());
	EXPECT_TRUE(a.slice(0, 1, 0).is_empty());
	EXPECT_EQ(errors(), (std::vector<std::string> { "Slice step is positive, but bounds are decreasing.", "Slice step cannot be zero." }));
}

TEST_F(ArrayBehaviour, FrontBackAndMinMax) {
	Array a;
	EXPECT_EQ(a.front().get_type(), Variant::NIL);
	EXPECT_EQ(errors(), std::vector<std::string> { "Can't take value from empty array." });
	a = Array::make(int64_t(3), int64_t(7), 2.5);
	EXPECT_EQ(double(a.min()), 2.5);
	EXPECT_EQ(int64_t(a.max()), 7);
	EXPECT_EQ(Array::make(int64_t(1), "x").max().get_type(), Variant::NIL);
}

TEST_F(ArrayBehaviour, ResizeFillsWithNilOrTheTypedDefault) {
	Array untyped;
	EXPECT_EQ(untyped.resize(2), OK);
	EXPECT_EQ(untyped[1].get_type(), Variant::NIL);
	EXPECT_EQ(untyped.resize(-1), ERR_INVALID_PARAMETER);

	Array typed;
	typed.set_typed(Variant::VECTOR3I, StringName(), Variant());
	typed.resize(2);
	EXPECT_EQ(typed[1].get_type(), Variant::VECTOR3I);
}

TEST_F(ArrayBehaviour, AppendArrayOfItself) {
	Array a = Array::make(int64_t(1), int64_t(2));
	a.append_array(a);
	EXPECT_EQ(a.size(), 4);
	EXPECT_EQ(a + Array::make("x"), Array::make(int64_t(1), int64_t(2), int64_t(1), int64_t(2), "x"));
}

TEST_F(ArrayBehaviour, RangeForVisitsElements) {
	int64_t sum = 0;
	const Array a = Array::make(int64_t(1), int64_t(2), int64_t(3));
	for (const Variant &item : a) {
		sum += int64_t(item);
	}
	EXPECT_EQ(sum, 6);
}

} // namespace
