// The crossing count of each value operation matches what it costs in godot-cpp: each row
// runs one operation on values built beforehand and reads only what that operation counted.

#include <engine_double/crossings.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace godot;

namespace {

struct Values {
	Variant nil;
	Variant number = int64_t(7);
	Variant text = String("seven");
	StringName name = StringName("hunger");
	Variant key = StringName("hunger");
	String word = String("stall");
	Dictionary row;
	Dictionary other_row;
	Array list;
	PackedInt64Array packed;
	Vector3i cell = Vector3i(1, 2, 3);
	std::optional<Variant> slot;
	std::optional<StringName> name_slot;
	std::optional<Dictionary> row_slot;
	int64_t sum = 0;

	Values() {
		row[key] = int64_t(3);
		list.push_back(int64_t(5));
		packed.push_back(4);
		packed.push_back(6);
	}
};

struct Row {
	const char *operation;
	std::function<void(Values &)> run;
	uint64_t crossings;
};

TEST(Crossings, EachOperationCostsWhatItCostsInGodotCpp) {
	const Row rows[] = {
		{ "~Variant() of nil", [](Values &v) { v.slot.emplace(); v.slot.reset(); }, 2 },
		{ "~Variant() of an int", [](Values &v) { v.slot.emplace(int64_t(1)); v.slot.reset(); }, 2 },
		{ "Variant(int64_t)", [](Values &v) { v.slot.emplace(int64_t(1)); }, 1 },
		{ "Variant(const StringName &)", [](Values &v) { v.slot.emplace(v.name); }, 1 },
		{ "Variant copy", [](Values &v) { v.slot.emplace(v.text); }, 1 },
		{ "Variant move", [](Values &v) { v.slot.emplace(std::move(v.text)); }, 0 },
		{ "Variant move assignment", [](Values &v) { v.number = std::move(v.text); }, 0 },
		{ "Variant copy assignment over an int", [](Values &v) { v.number = v.text; }, 3 },
		{ "Variant copy assignment over a String", [](Values &v) { v.text = v.number; }, 4 },
		{ "get_type()", [](Values &v) { v.sum += v.number.get_type(); }, 1 },
		{ "operator int64_t", [](Values &v) { v.sum += int64_t(v.number); }, 1 },
		{ "operator bool", [](Values &v) { v.sum += bool(v.number); }, 1 },
		{ "Variant == of different types", [](Values &v) { v.sum += v.number == v.text; }, 2 },
		{ "Variant == of the same type", [](Values &v) { v.sum += v.number == v.number; }, 6 },
		{ "Vector3i arithmetic and comparison", [](Values &v) { v.cell = v.cell * 2 + Vector3i(1, 0, 0); v.sum += v.cell == Vector3i(); }, 0 },
		{ "StringName(const char *)", [](Values &v) { v.name_slot.emplace("sleep"); }, 1 },
		{ "StringName copy", [](Values &v) { v.name_slot.emplace(v.name); }, 1 },
		{ "StringName ==", [](Values &v) { v.sum += v.name == v.name; }, 1 },
		{ "String + String, assigned back", [](Values &v) { v.word = v.word + v.word; }, 3 },
		{ "String::num_int64", [](Values &v) { v.sum += String::num_int64(42).length(); }, 4 },
		{ "d[key] with a Variant key", [](Values &v) { v.sum += int64_t(v.row[v.key]); }, 2 },
		{ "d[Variant(name)]", [](Values &v) { v.row[Variant(v.name)]; }, 3 },
		{ "d.has(key)", [](Values &v) { v.sum += v.row.has(v.key); }, 1 },
		{ "d.get(key, default), dropped", [](Values &v) { v.row.get(v.key, v.nil); }, 3 },
		{ "d.size()", [](Values &v) { v.sum += v.row.size(); }, 1 },
		{ "Dictionary copy", [](Values &v) { v.row_slot.emplace(v.row); }, 1 },
		{ "Dictionary move (a copy in godot-cpp)", [](Values &v) { v.row_slot.emplace(std::move(v.other_row)); }, 1 },
		{ "Array::operator[]", [](Values &v) { v.sum += v.list[0].get_type(); }, 2 },
		{ "Array::size()", [](Values &v) { v.sum += v.list.size(); }, 1 },
		{ "PackedInt64Array::operator[] twice", [](Values &v) { v.sum += v.packed[0] + v.packed[1]; }, 2 },
		{ "PackedInt64Array::ptr() then raw reads", [](Values &v) { const int64_t *p = v.packed.ptr(); v.sum += p[0] + p[1]; }, 1 },
	};
	for (const Row &row : rows) {
		Values values;
		const engine_double::CrossingReader reader;
		row.run(values);
		const uint64_t counted = reader.caller();
		EXPECT_EQ(counted, row.crossings) << row.operation;
		EXPECT_EQ(reader.plugin() + reader.script(), 0u) << row.operation;
	}
}

TEST(Crossings, TheEnginesOwnWorkIsNotCounted) {
	// A deep copy is one call however much it copies; so is reading a nested value's size.
	Dictionary nested;
	for (int64_t i = 0; i < 50; i++) {
		nested[i] = Array::make(i, String("x"), Dictionary());
	}
	const engine_double::CrossingReader reader;
	const Dictionary copy = nested.duplicate(true);
	EXPECT_EQ(reader.caller(), 2u);
	EXPECT_EQ(copy.size(), 50);
}

} // namespace
