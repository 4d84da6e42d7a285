// The cost model against the engine's measured operations: each one, done in the double as
// it was measured (made and released, with the temporaries the measurement had), models
// within the measurements' own +-30 % of the engine's figure.

#include "objects_fixture.hpp"

#include <engine_double/crossings.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/utility_functions.hpp>

#include <functional>

using namespace godot;

namespace {

class CostModel : public ObjectsTest {
protected:
	void SetUp() override {
		ObjectsTest::SetUp();
		engine_double::call_log_set_enabled(false);
	}
};

// The engine's target: a plain object with `var member_int = 5` and `func fn1(a): return a`.
Ref<RefCounted> measured_target() {
	Ref<engine_double::ScriptDouble> script = engine_double::ScriptDouble::create("res://measured.gd");
	script->member("member_int", int64_t(5));
	script->method("fn0", 0, [](const engine_double::ScriptCall &) -> Variant { return Variant(); });
	script->method("fn1", 1, [](const engine_double::ScriptCall &p_call) -> Variant { return p_call[0]; });
	script->method("fn3", 3, [](const engine_double::ScriptCall &p_call) -> Variant { return p_call[0]; });
	return script->instantiate();
}

double modelled(const std::function<void()> &p_operation) {
	const engine_double::CrossingReader reader;
	p_operation();
	return double(reader.total_ns());
}

TEST_F(CostModel, EachMeasuredOperationModelsAsTheEngineCostsIt) {
	const Ref<RefCounted> target = measured_target();
	Object *object = target.ptr();
	const Variant held_name = StringName("alpha");
	const StringName name("alpha");
	const String text("alpha");
	const Variant number = int64_t(5);
	Dictionary seventeen;
	for (int64_t i = 0; i < 17; i++) {
		seventeen[i] = i;
	}
	const Variant key = int64_t(3);
	const Array ints = [] {
		Array made;
		for (int64_t i = 0; i < 1024; i++) {
			made.push_back(i);
		}
		return made;
	}();
	StringName keys[14];
	for (int i = 0; i < 14; i++) {
		keys[i] = StringName(String("key_") + String::num_int64(i));
	}
	const StringName member("member_int");
	const StringName absent("no_such_member");
	const StringName fn0("fn0");
	const StringName fn1("fn1");
	const StringName fn3("fn3");
	const StringName resource_path("resource_path");
	const Callable bound(object, fn1);
	const uint64_t id = object->get_instance_id();

	struct Row {
		const char *operation;
		double engine_ns;
		std::function<void()> run;
	};
	const Row rows[] = {
		{ "Variant(int64_t) made and destroyed", 3.5, [] { const Variant made(int64_t(7)); } },
		{ "Variant holding a StringName copied", 15, [&] { const Variant copy(held_name); } },
		{ "Variant::get_type()", 1.1, [&] { (void)number.get_type(); } },
		{ "int64_t(Variant)", 7, [&] { (void)int64_t(number); } },
		{ "StringName(const char *)", 29, [] { const StringName made("alpha"); } },
		{ "StringName(const String &)", 81, [&] { const StringName made(text); } },
		{ "StringName copy", 27, [&] { const StringName copy(name); } },
		{ "StringName == StringName", 2, [&] { (void)(name == name); } },
		{ "StringName s = variant", 13, [&] { const StringName taken = held_name; } },
		{ "String == String(\"alpha\")", 79, [&] { (void)(text == String("alpha")); } },
		{ "Dictionary::get(Variant key, default)", 46, [&] { (void)seventeen.get(key, 0); } },
		{ "Dictionary::get(StringName key, default)", 59, [&] { (void)seventeen.get(name, 0); } },
		{ "Dictionary::has", 24, [&] { (void)seventeen.has(key); } },
		{ "const Dictionary & operator[] of a present key", 23, [&] { (void)static_cast<const Dictionary &>(seventeen)[key]; } },
		{ "Dictionary::operator[] assignment of an existing key", 26, [&] { seventeen[key] = int64_t(3); } },
		{ "new empty Dictionary", 43, [] { const Dictionary made; } },
		{ "new Dictionary with 14 StringName keys", 1300, [&] {
		     Dictionary made;
		     for (const StringName &each : keys) {
			     made[each] = int64_t(1);
		     }
		 } },
		{ "Dictionary handle copied", 39, [&] { const Dictionary copy(seventeen); } },
		{ "Dictionary::duplicate(true) of 17 int entries", 2550, [&] { (void)seventeen.duplicate(true); } },
		{ "Array::size()", 3, [&] { (void)ints.size(); } },
		{ "const Array & operator[], converted to int", 5.6, [&] { (void)int64_t(ints[9]); } },
		{ "new Array with one append", 78, [] {
		     Array made;
		     made.append(int64_t(1));
		 } },
		{ "Array::duplicate(false) of 1,024 ints", 97, [&] { (void)ints.duplicate(false); } },
		{ "new TypedArray<StringName>", 47, [] { const TypedArray<StringName> made; } },
		{ "Object::get of a script member", 18, [&] { (void)object->get(member); } },
		{ "Object::get of a name the object does not have", 30, [&] { (void)object->get(absent); } },
		{ "Object::set of a script member", 17, [&] { object->set(member, number); } },
		{ "Object::call of a script method, no argument", 77, [&] { (void)object->call(fn0); } },
		{ "Object::call of a script method, one argument", 88, [&] { (void)object->call(fn1, int64_t(1)); } },
		{ "Object::call of a script method, three arguments", 144, [&] { (void)object->call(fn3, int64_t(1), int64_t(2), int64_t(3)); } },
		{ "Callable::call, one argument, of a script method", 170, [&] { (void)bound.call(int64_t(1)); } },
		{ "ObjectDB::get_instance", 23, [&] { (void)ObjectDB::get_instance(id); } },
		{ "script-path check", 280, [&] {
		     Object *script = object->get_script().get_validated_object();
		     const String path = script->get(resource_path);
		     (void)(path == String("res://measured.gd"));
		 } },
		{ "UtilityFunctions::is_same(v, v)", 7.5, [&] { (void)UtilityFunctions::is_same(number, number); } },
		{ "var_to_bytes of 1,024 ints", 13000, [&] { (void)UtilityFunctions::var_to_bytes(ints); } },
		{ "String(\"(\") + String::num_int64(i) + String(\", 0, 0)>\")", 310, [] { (void)(String("(") + String::num_int64(7) + String(", 0, 0)>")); } },
	};
	for (const Row &row : rows) {
		const double ns = modelled(row.run);
		EXPECT_NEAR(ns, row.engine_ns, 0.3 * row.engine_ns) << row.operation;
	}
}

TEST_F(CostModel, AScriptMethodsDispatchAndBodyCostTheScriptsSide) {
	const Ref<RefCounted> target = measured_target();
	const StringName fn1("fn1");
	const Variant argument = int64_t(1);
	const engine_double::CrossingReader reader;
	{
		const engine_double::internal::CrossingFrame frame(engine_double::internal::CROSSING_PLUGIN);
		(void)target->call(fn1, argument);
	}
	using engine_double::internal::Cost;
	using engine_double::internal::cost_ns;
	EXPECT_GE(reader.script_ns(), cost_ns(Cost::SCRIPT_DISPATCH) + cost_ns(Cost::SCRIPT_DISPATCH_ARGUMENT));
	// The plug-in pays for the call and its own Variants only.
	EXPECT_LT(reader.plugin_ns(), cost_ns(Cost::SCRIPT_DISPATCH));
	EXPECT_GT(reader.plugin_ns(), 0u);
	EXPECT_EQ(reader.caller_ns(), 0u);
}

} // namespace
