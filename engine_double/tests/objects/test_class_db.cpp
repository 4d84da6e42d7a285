// ClassDB: registration and binding checks, argument conversion by the binder, properties,
// signals and constants of an extension class registered in this executable.

#include "objects_fixture.hpp"

#include <engine_double/host.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/typed_array.hpp>

#include <stdexcept>

using namespace godot;
using ::testing::ElementsAre;

namespace {

class Probe : public RefCounted {
	GDCLASS(Probe, RefCounted)

	int64_t level = 0;

protected:
	static void _bind_methods() {
		ClassDB::bind_method(D_METHOD("scale", "value", "factor"), &Probe::scale, DEFVAL(10));
		ClassDB::bind_method(D_METHOD("count", "cells"), &Probe::count);
		ClassDB::bind_method(D_METHOD("describe", "value"), &Probe::describe);
		ClassDB::bind_method(D_METHOD("unnamed"), &Probe::unnamed);
		ClassDB::bind_method(D_METHOD("set_level", "level"), &Probe::set_level);
		ClassDB::bind_method(D_METHOD("get_level"), &Probe::get_level);
		ClassDB::bind_method(D_METHOD("explode"), &Probe::explode);
		ClassDB::bind_method(D_METHOD("owner_of", "object"), &Probe::owner_of);
		ADD_PROPERTY(PropertyInfo(Variant::INT, "level"), "set_level", "get_level");
		ADD_SIGNAL(MethodInfo("changed", PropertyInfo(Variant::INT, "level")));
		BIND_CONSTANT(LIMIT);
	}

public:
	static constexpr int64_t LIMIT = 12;

	int64_t scale(int64_t p_value, int64_t p_factor) const { return p_value * p_factor; }
	int64_t count(const TypedArray<Vector3i> &p_cells) { return p_cells.size(); }
	String describe(const Variant &p_value) const { return Variant::get_type_name(p_value.get_type()); }
	int64_t unnamed(int64_t p_a, int64_t p_b) { return p_a - p_b; }
	void set_level(int64_t p_level) { level = p_level; }
	int64_t get_level() const { return level; }
	void explode() { throw std::runtime_error("boom"); }
	String owner_of(Object *p_object) { return p_object != nullptr ? p_object->get_class() : String("null"); }
};

class Broken : public RefCounted {
	GDCLASS(Broken, RefCounted)

protected:
	static void _bind_methods() {
		ClassDB::bind_method(D_METHOD("one", "a", "b"), &Broken::one);
		ClassDB::bind_method(D_METHOD("one"), &Broken::one);
	}

public:
	void one(int64_t p_a) {}
};

class ClassRegistration : public ObjectsTest {
protected:
	static void SetUpTestSuite() {
		ClassDB::register_class<Probe>();
		ClassDB::register_class<Broken>();
	}

	Variant probe = ClassDB::instantiate("Probe");

	Variant call(const StringName &p_method, const std::vector<Variant> &p_args, GDExtensionCallError *r_error = nullptr) {
		return host.call(probe, p_method, p_args, r_error);
	}

	engine_double::PluginHost host;
};

} // namespace

TEST_F(ClassRegistration, ListsArgumentNamesTypesAndConstness) {
	const engine_double::ClassListing listing = engine_double::describe_class("Probe");
	EXPECT_EQ(listing.parent, StringName("RefCounted"));
	ASSERT_EQ(listing.methods.size(), 8u);
	const engine_double::MethodListing &scale = listing.methods[0];
	EXPECT_EQ(scale.name, StringName("scale"));
	EXPECT_TRUE(scale.is_const);
	EXPECT_EQ(scale.flags, uint32_t(METHOD_FLAG_NORMAL | METHOD_FLAG_CONST));
	ASSERT_EQ(scale.arguments.size(), 2u);
	EXPECT_EQ(scale.arguments[1].name, StringName("factor"));
	EXPECT_EQ(scale.arguments[1].type, Variant::INT);
	EXPECT_EQ(text(Array::make(scale.default_arguments[0])), "[10]");

	const engine_double::MethodListing &count = listing.methods[1];
	EXPECT_FALSE(count.is_const);
	EXPECT_EQ(count.arguments[0].type, Variant::ARRAY);
	EXPECT_EQ(count.arguments[0].hint, uint32_t(PROPERTY_HINT_ARRAY_TYPE));
	EXPECT_EQ(count.arguments[0].hint_string, String("Vector3i"));
	EXPECT_EQ(count.return_value.type, Variant::INT);

	EXPECT_EQ(listing.methods[2].arguments[0].usage & PROPERTY_USAGE_NIL_IS_VARIANT, uint32_t(PROPERTY_USAGE_NIL_IS_VARIANT));
	EXPECT_EQ(listing.methods[7].arguments[0].class_name, StringName("Object"));
	EXPECT_THAT(listing.signals, ElementsAre(StringName("changed")));
	EXPECT_THAT(listing.constants, ElementsAre(StringName("LIMIT")));
}

TEST_F(ClassRegistration, RegistrationErrorsLeaveTheMethodUnbound) {
	// Recorded when the suite registered Broken: too many names, then nothing to duplicate.
	const engine_double::ClassListing listing = engine_double::describe_class("Broken");
	ASSERT_EQ(listing.methods.size(), 1u);
	EXPECT_EQ(listing.methods[0].arguments[0].name, StringName());

	ClassDB::bind_method(D_METHOD("scale", "v", "f"), &Probe::scale);
	EXPECT_THAT(errors(), ElementsAre("Binding duplicate method: Probe::scale()."));
	ClassDB::register_class<Probe>();
	EXPECT_THAT(errors(), ElementsAre("Binding duplicate method: Probe::scale().", "Class already registered: 'Probe'."));
}

TEST_F(ClassRegistration, DefaultsFillMissingArgumentsAndCountsAreChecked) {
	EXPECT_EQ(int64_t(call("scale", { 3 })), 30);
	EXPECT_EQ(int64_t(call("scale", { 3, 2 })), 6);
	GDExtensionCallError error;
	EXPECT_EQ(call("scale", {}, &error).get_type(), Variant::NIL);
	EXPECT_EQ(error.error, GDEXTENSION_CALL_ERROR_TOO_FEW_ARGUMENTS);
	EXPECT_EQ(error.expected, 2);
	call("scale", { 1, 2, 3 }, &error);
	EXPECT_EQ(error.error, GDEXTENSION_CALL_ERROR_TOO_MANY_ARGUMENTS);
	EXPECT_THAT(errors(), ElementsAre("Invalid call to function 'scale' in base 'Probe'. Expected 2 argument(s).", "Invalid call to function 'scale' in base 'Probe'. Expected 2 argument(s)."));
}

TEST_F(ClassRegistration, AWrongTypeStillRunsWithTheConvertedValue) {
	Object *object = probe;
	int64_t subtracted = 0;
	{
		// Through Object::call the error is dropped and the result kept.
		subtracted = object->call("unnamed", "7", 2);
	}
	EXPECT_EQ(subtracted, 5);
	EXPECT_TRUE(errors().empty());

	GDExtensionCallError error;
	const Variant through_callv = object->callv("unnamed", Array::make("7", 2));
	const Variant difference = call("unnamed", { Variant(), 1.5 }, &error);
	// Only a debug build checks the arguments' types; a release build converts silently.
#ifdef DEBUG_ENABLED
	EXPECT_EQ(through_callv.get_type(), Variant::NIL);
	EXPECT_EQ(difference.get_type(), Variant::NIL);
	EXPECT_EQ(error.error, GDEXTENSION_CALL_ERROR_INVALID_ARGUMENT);
	EXPECT_EQ(error.argument, 0);
	EXPECT_THAT(errors(), ElementsAre("Error calling method from 'callv': 'Probe::unnamed': Cannot convert argument 1 from String to int.", "Invalid type in function 'unnamed' in base 'Probe'. Cannot convert argument 1 from Nil to int."));
#else
	EXPECT_EQ(int64_t(through_callv), 5);
	EXPECT_EQ(int64_t(difference), -1);
	EXPECT_EQ(error.error, GDEXTENSION_CALL_OK);
	EXPECT_TRUE(errors().empty());
#endif
}

TEST_F(ClassRegistration, TypedArrayParametersConvertOnConstruction) {
	EXPECT_EQ(int64_t(call("count", { Array::make(Vector3i(1, 2, 3), Vector3i()) })), 2);
	EXPECT_TRUE(errors().empty());
	EXPECT_EQ(int64_t(call("count", { Array::make(1, 2) })), 0);
	EXPECT_THAT(errors(), ElementsAre("Unable to convert array index 0 from 'int' to 'Vector3i'."));
}

TEST_F(ClassRegistration, ObjectParametersAreCheckedByClass) {
	EXPECT_EQ(String(call("owner_of", { probe })), String("Probe"));
	EXPECT_EQ(String(call("owner_of", { Variant(static_cast<Object *>(nullptr)) })), String("null"));
	EXPECT_TRUE(errors().empty());
}

TEST_F(ClassRegistration, PropertiesSignalsAndConstantsAnswerByName) {
	Object *object = probe;
	object->set("level", 4);
	EXPECT_EQ(int64_t(object->get("level")), 4);
	EXPECT_EQ(int64_t(object->get("LIMIT")), 12);
	EXPECT_EQ(object->get("scale").get_type(), Variant::CALLABLE);
	EXPECT_TRUE(object->has_signal("changed"));
	EXPECT_EQ(object->emit_signal("changed", 1), ERR_UNAVAILABLE);
	EXPECT_EQ(object->connect("missing", Callable(object, "get_level")), ERR_INVALID_PARAMETER);
	EXPECT_THAT(errors(), ElementsAre("In Object of type 'Probe': Attempt to connect nonexistent signal 'missing' to callable 'Probe::get_level'."));
}

TEST_F(ClassRegistration, AnExceptionNeverLeavesABoundMethod) {
	GDExtensionCallError error;
	EXPECT_EQ(call("explode", {}, &error).get_type(), Variant::NIL);
	EXPECT_THAT(errors(), ElementsAre("Exception thrown by bound method 'Probe::explode' (the engine would terminate)."));
}

TEST_F(ClassRegistration, ScriptsCallMissingMethodsWithTheEngineWording) {
	call("foo", {});
	EXPECT_THAT(errors(), ElementsAre("Invalid call. Nonexistent function 'foo' in base 'Probe'."));
	Object *object = probe;
	EXPECT_FALSE(object->has_method("foo"));
	EXPECT_TRUE(object->has_method("get_level"));
	EXPECT_EQ(object->get_method_argument_count("scale"), 2);
}

TEST_F(ClassRegistration, MisdeclaredMembersAreRefusedWithTheirReasons) {
	ClassDB::add_property("Probe", PropertyInfo(Variant::INT, "broken"), "set_level", "missing_getter");
	ClassDB::add_property("Probe", PropertyInfo(Variant::INT, "reversed"), "get_level", "get_level");
	ClassDB::add_signal("Probe", MethodInfo("changed"));
	ClassDB::bind_integer_constant("Probe", "", "LIMIT", 3);
	ClassDB::add_signal("Nowhere", MethodInfo("x"));
	EXPECT_THAT(errors(), ElementsAre("Getter method 'Probe::missing_getter()' not found for property 'Probe::broken'.", "Setter method 'Probe::get_level()' must take a single argument.", "Class 'Probe' already has signal 'changed'.", "Constant 'Probe::LIMIT' already registered.", "Class 'Nowhere' doesn't exist."));
	Object *object = probe;
	EXPECT_EQ(object->get("broken").get_type(), Variant::NIL);
	EXPECT_EQ(int64_t(object->get("LIMIT")), 12);
}

TEST_F(ClassRegistration, EngineClassesAnswerTheSingletonQueries) {
	EXPECT_TRUE(ClassDB::class_exists("Object"));
	EXPECT_TRUE(ClassDB::class_exists("GDScript"));
	EXPECT_EQ(ClassDB::get_parent_class("Probe"), StringName("RefCounted"));
	EXPECT_EQ(ClassDB::get_parent_class("Object"), StringName());
	EXPECT_TRUE(ClassDB::is_parent_class("GDScript", "Resource"));
	EXPECT_FALSE(ClassDB::is_parent_class("Resource", "Script"));
	EXPECT_TRUE(ClassDB::can_instantiate("Probe"));
	EXPECT_FALSE(ClassDB::can_instantiate("Script"));
	EXPECT_TRUE(ClassDB::class_has_integer_constant("Probe", "LIMIT"));
	EXPECT_EQ(ClassDB::class_get_integer_constant("Probe", "LIMIT"), 12);
	const PackedStringArray classes = ClassDB::get_class_list();
	EXPECT_TRUE(classes.has("Probe"));
	EXPECT_TRUE(classes.has("RefCounted"));
}
