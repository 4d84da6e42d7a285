// Dictionary: sharing, key identity, order, accessors, read-only, duplicate and the map
// underneath.

#include "engine_errors.hpp"

#include <godot_cpp/variant/typed_dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cmath>
#include <limits>
#include <random>
#include <unordered_map>

using namespace godot;

namespace {

class DictionaryBehaviour : public EngineErrors {};

Array key_types(const Dictionary &p_dictionary) {
	Array types;
	const Array keys = p_dictionary.keys();
	for (int64_t i = 0; i < keys.size(); i++) {
		types.push_back(int64_t(keys[i].get_type()));
	}
	return types;
}

TEST_F(DictionaryBehaviour, CopiesShareOneMap) {
	Dictionary a;
	Dictionary b = a;
	b["k"] = int64_t(1);
	EXPECT_EQ(a.size(), 1);
	Variant through = a;
	Dictionary c = through;
	c.erase("k");
	EXPECT_TRUE(a.is_empty());
}

TEST_F(DictionaryBehaviour, StringAndStringNameAreOneKey) {
	Dictionary d;
	d["a"] = int64_t(1);
	d[StringName("a")] = int64_t(2);
	EXPECT_EQ(d.size(), 1);
	// The stored key keeps the type it was first inserted with.
	EXPECT_EQ(key_types(d), Array::make(int64_t(Variant::STRING)));
	EXPECT_EQ(int64_t(d["a"]), 2);
	EXPECT_TRUE(d.has(StringName("a")));
	EXPECT_EQ(int64_t(d.get(StringName("a"), Variant())), 2);

	Dictionary reverse;
	reverse[StringName("b")] = int64_t(1);
	EXPECT_TRUE(reverse.has("b"));
	EXPECT_TRUE(reverse.erase("b"));
	EXPECT_TRUE(reverse.is_empty());
}

TEST_F(DictionaryBehaviour, EmptyStringAndEmptyStringNameAreDifferentKeys) {
	// Their hashes differ in the engine (5381 against 0), so the lookup never compares them.
	Dictionary d;
	d[""] = int64_t(1);
	EXPECT_FALSE(d.has(StringName()));
	d[StringName()] = int64_t(2);
	EXPECT_EQ(d.size(), 2);
}

TEST_F(DictionaryBehaviour, IntAndFloatAreDifferentKeys) {
	Dictionary d;
	d[int64_t(1)] = "int";
	d[1.0] = "float";
	EXPECT_EQ(d.size(), 2);
	EXPECT_EQ(String(d[int64_t(1)]), "int");
}

TEST_F(DictionaryBehaviour, VectorKeysNeedTheExactType) {
	Dictionary d;
	d[Vector3i(1, 2, 3)] = true;
	EXPECT_TRUE(d.has(Vector3i(1, 2, 3)));
	EXPECT_FALSE(d.has(Vector3(1, 2, 3)));
	EXPECT_FALSE(d.has(Vector3i(3, 2, 1)));
}

TEST_F(DictionaryBehaviour, FloatKeysFoldZeroAndNaN) {
	const double nan = std::numeric_limits<double>::quiet_NaN();
	Dictionary d;
	d[nan] = "nan";
	d[0.0] = "zero";
	EXPECT_TRUE(d.has(nan));
	EXPECT_TRUE(d.has(-0.0));
	d[-0.0] = "negative zero";
	EXPECT_EQ(d.size(), 2);
}

TEST_F(DictionaryBehaviour, InsertionOrderIsKept) {
	Dictionary d;
	d["c"] = int64_t(1);
	d["a"] = int64_t(2);
	d["b"] = int64_t(3);
	d["a"] = int64_t(20); // re-assigning keeps the position
	EXPECT_EQ(d.keys(), Array::make("c", "a", "b"));
	EXPECT_EQ(d.values(), Array::make(int64_t(1), int64_t(20), int64_t(3)));
	d.erase("c");
	d["c"] = int64_t(4); // erase then insert moves it to the end
	EXPECT_EQ(d.keys(), Array::make("a", "b", "c"));
}

TEST_F(DictionaryBehaviour, ConstIndexOfAMissingKeyReportsAndDoesNotInsert) {
	Dictionary d;
	d["present"] = int64_t(1);
	const Dictionary &read = d;
	EXPECT_EQ(read["missing_key"].get_type(), Variant::NIL);
	EXPECT_EQ(errors(), std::vector<std::string> { "Bug: Dictionary::operator[] used when there was no value for the given key \"missing_key\". Please report." });
	EXPECT_EQ(d.size(), 1);
	EXPECT_EQ(int64_t(read["present"]), 1);
}

TEST_F(DictionaryBehaviour, NonConstIndexInsertsNil) {
	Dictionary d;
	const Variant value = d["new"];
	EXPECT_EQ(value.get_type(), Variant::NIL);
	EXPECT_TRUE(d.has("new"));
	EXPECT_EQ(error_count(), 0u);
}

TEST_F(DictionaryBehaviour, GetWithDefaultNeverInserts) {
	Dictionary d;
	EXPECT_EQ(int64_t(d.get("missing", int64_t(7))), 7);
	EXPECT_TRUE(d.is_empty());
	EXPECT_EQ(int64_t(d.get_or_add("added", int64_t(8))), 8);
	EXPECT_EQ(int64_t(d.get_or_add("added", int64_t(9))), 8);
	EXPECT_FALSE(d.erase("missing"));
	EXPECT_TRUE(d.erase("added"));
	EXPECT_EQ(error_count(), 0u);
}

TEST_F(DictionaryBehaviour, ReferencesToValuesSurviveGrowth) {
	Dictionary d;
	Variant &slot = d["first"];
	for (int64_t i = 0; i < 1000; i++) {
		d[i] = i;
	}
	slot = "kept";
	EXPECT_EQ(String(d["first"]), "kept");
}

TEST_F(DictionaryBehaviour, ReadOnlyRefusesWrites) {
	Dictionary d;
	d["k"] = int64_t(1);
	d.make_read_only();
	EXPECT_TRUE(d.is_read_only());
	EXPECT_FALSE(d.set("k", int64_t(2)));
	EXPECT_FALSE(d.erase("k"));
	d.clear();
	d.merge(Dictionary());
	EXPECT_EQ(errors(), std::vector<std::string>(4, "Dictionary is in read-only state."));
	engine_double::error_log_clear();

	// Writes through operator[] land in a scratch value, silently.
	d["k"] = int64_t(3);
	d["other"] = int64_t(4);
	EXPECT_EQ(int64_t(d.get("k", Variant())), 1);
	EXPECT_FALSE(d.has("other"));
	EXPECT_EQ(error_count(), 0u);

	// assign() has no read-only check in the engine.
	Dictionary replacement;
	replacement["r"] = true;
	d.assign(replacement);
	EXPECT_TRUE(d.has("r"));
}

TEST_F(DictionaryBehaviour, DuplicateShallowSharesNestedContainers) {
	Dictionary d;
	Array nested;
	d["nested"] = nested;
	d.make_read_only();
	Dictionary copy = d.duplicate();
	EXPECT_FALSE(copy.is_read_only());
	Array(copy["nested"]).push_back(int64_t(1));
	EXPECT_EQ(nested.size(), 1);
}

TEST_F(DictionaryBehaviour, DuplicateDeepCopiesKeysAndValues) {
	Array key = Array::make(int64_t(1));
	Dictionary inner;
	inner["x"] = Array::make(int64_t(2));
	Dictionary d;
	d[key] = inner;
	Dictionary copy = d.duplicate(true);
	EXPECT_TRUE(copy == d);

	Dictionary copied_inner = copy[key];
	Array(copied_inner["x"]).push_back(int64_t(3));
	EXPECT_EQ(Array(inner["x"]).size(), 1);
	// The key itself was duplicated too.
	Array copied_key = copy.keys()[0];
	copied_key.push_back(int64_t(9));
	EXPECT_EQ(key.size(), 1);
}

TEST_F(DictionaryBehaviour, MergeAndMerged) {
	Dictionary a;
	a["x"] = int64_t(1);
	Dictionary b;
	b["x"] = int64_t(2);
	b["y"] = int64_t(3);
	Dictionary kept = a.merged(b);
	EXPECT_EQ(int64_t(kept["x"]), 1);
	EXPECT_EQ(kept.keys(), Array::make("x", "y"));
	a.merge(b, true);
	EXPECT_EQ(int64_t(a["x"]), 2);
	a.merge(a, true); // merging into itself is harmless
	EXPECT_EQ(a.size(), 2);
}

TEST_F(DictionaryBehaviour, SortOrdersKeys) {
	Dictionary d;
	d[int64_t(3)] = "c";
	d[int64_t(1)] = "a";
	d[int64_t(2)] = "b";
	d.sort();
	EXPECT_EQ(d.keys(), Array::make(int64_t(1), int64_t(2), int64_t(3)));
	EXPECT_EQ(String(d[int64_t(2)]), "b");
	d[int64_t(0)] = "z";
	EXPECT_EQ(d.keys(), Array::make(int64_t(1), int64_t(2), int64_t(3), int64_t(0)));
}

TEST_F(DictionaryBehaviour, FindKeyAndHasAll) {
	Dictionary d;
	d["a"] = int64_t(1);
	d["b"] = 1.0;
	EXPECT_EQ(String(d.find_key(1.0)), "b");
	EXPECT_EQ(d.find_key(int64_t(5)).get_type(), Variant::NIL);
	EXPECT_TRUE(d.has_all(Array::make(StringName("a"), "b")));
	EXPECT_FALSE(d.has_all(Array::make("a", "c")));
}

TEST_F(DictionaryBehaviour, TypedDictionaryConvertsOrRejects) {
	TypedDictionary<StringName, int64_t> d;
	EXPECT_TRUE(d.is_typed());
	EXPECT_EQ(d.get_typed_key_builtin(), Variant::STRING_NAME);
	EXPECT_EQ(d.get_typed_value_builtin(), Variant::INT);

	EXPECT_TRUE(d.set("name", 2.5)); // key String -> StringName, value 2.5 -> 2
	EXPECT_EQ(key_types(d), Array::make(int64_t(Variant::STRING_NAME)));
	EXPECT_EQ(d.values()[0].get_type(), Variant::INT);
	EXPECT_EQ(int64_t(d.values()[0]), 2);
	EXPECT_EQ(d.keys().get_typed_builtin(), Variant::STRING_NAME);

	EXPECT_FALSE(d.set(int64_t(5), int64_t(1)));
	EXPECT_FALSE(d.set("other", "text"));
	EXPECT_EQ(errors(), (std::vector<std::string> {
	                            "Attempted to set a variable of type 'int' into a TypedDictionary.Key of incompatible type 'StringName'.",
	                            "Condition \"!_p->typed_key.validate(key, \"set\")\" is true. Returning: false",
	                            "Attempted to set a variable of type 'String' into a TypedDictionary.Value of incompatible type 'int'.",
	                            "Condition \"!_p->typed_value.validate(value, \"set\")\" is true. Returning: false",
	                    }));
	EXPECT_EQ(d.size(), 1);
}

TEST_F(DictionaryBehaviour, TypedIndexWithAWrongKeyStoresNothing) {
	TypedDictionary<int64_t, int64_t> d;
	d[Vector3i()] = int64_t(5);
	EXPECT_TRUE(d.is_empty());
	ASSERT_EQ(error_count(), 1u);
	EXPECT_EQ(errors()[0], "Attempted to use `operator[]` a variable of type 'Vector3i' into a TypedDictionary.Key of incompatible type 'int'.");
	// A missing key of the right type is added with the value type's default.
	EXPECT_EQ(d[int64_t(1)].get_type(), Variant::INT);
}

TEST_F(DictionaryBehaviour, TypedDictionaryConstructionAndAssignment) {
	Dictionary untyped;
	untyped["a"] = int64_t(1);
	TypedDictionary<StringName, int64_t> converted(untyped);
	EXPECT_EQ(key_types(converted), Array::make(int64_t(Variant::STRING_NAME)));

	TypedDictionary<StringName, int64_t> same(converted);
	same["b"] = int64_t(2);
	EXPECT_TRUE(converted.has("b"));

	converted = untyped;
	EXPECT_EQ(errors(), std::vector<std::string> { "Cannot assign an dictionary with a different element type." });
	EXPECT_EQ(converted.size(), 2);

	Dictionary wrong;
	wrong[int64_t(1)] = int64_t(1);
	TypedDictionary<StringName, int64_t> failed(wrong);
	EXPECT_TRUE(failed.is_empty());
	EXPECT_TRUE(failed.is_typed());
}

TEST_F(DictionaryBehaviour, MapMatchesAReferenceUnderRandomEdits) {
	std::mt19937_64 random(12345);
	Dictionary d;
	std::unordered_map<int64_t, int64_t> reference;
	std::vector<int64_t> order;
	for (int step = 0; step < 20000; step++) {
		const int64_t key = int64_t(random() % 512);
		if (random() % 3 == 0) {
			const bool erased = d.erase(key);
			EXPECT_EQ(erased, reference.erase(key) == 1);
			if (erased) {
				order.erase(std::find(order.begin(), order.end(), key));
			}
		} else {
			const int64_t value = int64_t(random());
			if (!reference.count(key)) {
				order.push_back(key);
			}
			reference[key] = value;
			d[key] = value;
		}
	}
	ASSERT_EQ(d.size(), int64_t(reference.size()));
	const Array keys = d.keys();
	for (int64_t i = 0; i < keys.size(); i++) {
		EXPECT_EQ(int64_t(keys[i]), order[size_t(i)]);
		EXPECT_EQ(int64_t(d.get(keys[i], Variant())), reference[order[size_t(i)]]);
	}
	for (int64_t key = 0; key < 512; key++) {
		EXPECT_EQ(d.has(key), reference.count(key) == 1);
	}
}

} // namespace
