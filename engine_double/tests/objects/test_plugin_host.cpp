// The host loads the sample plug-in (a shared library built like the real one) and uses it
// as a script would.

#include "objects_fixture.hpp"

#include <engine_double/custom_callable.hpp>
#include <engine_double/host.hpp>
#include <godot_cpp/core/class_db.hpp>

using namespace godot;
using engine_double::PluginHost;
using ::testing::ElementsAre;

namespace {

constexpr const char *ENTRY = "sample_library_init";

// The sample counts the levels it saw; -(level + 1) marks a termination.
Array trace_since(const Array &p_before, const Array &p_after) {
	return p_after.slice(p_before.size());
}

} // namespace

using PluginHostTest = ObjectsTest;

TEST_F(PluginHostTest, LoadFailuresUseTheEngineMessages) {
	PluginHost host;
	EXPECT_FALSE(host.load("/nonexistent/libnothing.so", ENTRY));
	ASSERT_EQ(errors().size(), 1u);
	EXPECT_EQ(errors()[0].rfind("Can't open dynamic library: /nonexistent/libnothing.so. Error: ", 0), 0u);

	engine_double::error_log_clear();
	EXPECT_FALSE(host.load(SAMPLE_PLUGIN_PATH, "not_the_entry"));
	EXPECT_THAT(errors(), ElementsAre("GDExtension entry point 'not_the_entry' not found in library " + std::string(SAMPLE_PLUGIN_PATH) + "."));
	EXPECT_FALSE(host.is_loaded());
}

TEST_F(PluginHostTest, ClassesAppearAtSceneAndGoAtUnload) {
	PluginHost host;
	ASSERT_TRUE(host.load(SAMPLE_PLUGIN_PATH, ENTRY));
	EXPECT_EQ(host.minimum_level(), MODULE_INITIALIZATION_LEVEL_SCENE);
	host.initialize(MODULE_INITIALIZATION_LEVEL_SERVERS);
	EXPECT_FALSE(ClassDB::class_exists("SampleCounter"));
	EXPECT_TRUE(host.level_calls().empty());

	host.initialize(MODULE_INITIALIZATION_LEVEL_SCENE);
	EXPECT_TRUE(ClassDB::class_exists("SampleCounter"));
	EXPECT_EQ(ClassDB::get_parent_class("SampleCounter"), StringName("RefCounted"));
	host.initialize(MODULE_INITIALIZATION_LEVEL_EDITOR);
	const Variant trace = host.call(host.instantiate("SampleCounter"), "initialization_trace");
	EXPECT_EQ(text(trace_since(Array(), trace).slice(-2)), "[2, 3]");

	host.unload();
	EXPECT_FALSE(ClassDB::class_exists("SampleCounter"));
	EXPECT_THAT(host.level_calls(), ElementsAre("initialize 2", "initialize 3", "deinitialize 3", "deinitialize 2"));
	EXPECT_TRUE(errors().empty());
}

TEST_F(PluginHostTest, MethodListingShowsNamesTypesHintsAndConstness) {
	PluginHost host;
	ASSERT_TRUE(host.load(SAMPLE_PLUGIN_PATH, ENTRY));
	host.initialize();
	const std::vector<engine_double::ClassListing> classes = host.classes();
	ASSERT_EQ(classes.size(), 1u);
	EXPECT_EQ(classes[0].name, StringName("SampleCounter"));
	EXPECT_EQ(classes[0].level, MODULE_INITIALIZATION_LEVEL_SCENE);
	ASSERT_EQ(classes[0].methods.size(), 4u);

	const engine_double::MethodListing &add = classes[0].methods[0];
	EXPECT_EQ(add.name, StringName("add"));
	EXPECT_FALSE(add.is_const);
	EXPECT_EQ(add.arguments[0].name, StringName("amount"));
	EXPECT_EQ(add.arguments[0].type, Variant::INT);

	const engine_double::MethodListing &summarize = classes[0].methods[1];
	EXPECT_TRUE(summarize.is_const);
	ASSERT_EQ(summarize.arguments.size(), 3u);
	EXPECT_EQ(summarize.arguments[0].name, StringName("input"));
	EXPECT_EQ(summarize.arguments[0].type, Variant::DICTIONARY);
	EXPECT_EQ(summarize.arguments[1].type, Variant::ARRAY);
	EXPECT_EQ(summarize.arguments[1].hint_string, String("Vector3i"));
	EXPECT_EQ(summarize.arguments[2].name, StringName("ticks"));
	EXPECT_EQ(summarize.arguments[2].type, Variant::CALLABLE);
	EXPECT_EQ(summarize.return_value.type, Variant::DICTIONARY);

	EXPECT_FALSE(classes[0].methods[2].has_return);
	EXPECT_TRUE(classes[0].methods[3].is_static);
}

TEST_F(PluginHostTest, AScriptUsesTheClassByName) {
	PluginHost host;
	ASSERT_TRUE(host.load(SAMPLE_PLUGIN_PATH, ENTRY));
	host.initialize();
	const Variant counter = host.instantiate("SampleCounter");
	ASSERT_EQ(counter.get_type(), Variant::OBJECT);
	EXPECT_EQ(int64_t(host.call(counter, "add", { 5 })), 5);
	EXPECT_EQ(int64_t(host.call(counter, "add", { 2 })), 7);

	int64_t ticks = 40;
	const Callable tick = engine_double::make_lambda_callable([&ticks](const Variant **, int) { return Variant(++ticks); });
	Dictionary input;
	input["a"] = 1;
	const Dictionary summary = host.call(counter, "summarize", { input, Array::make(Vector3i(4, 5, 0), Vector3i(1, 1, 1)), tick });
	EXPECT_EQ(text(summary), "{ &\"keys\": 1, &\"cells\": 2, &\"first\": (4, 5, 0), &\"ticks\": 41 }");

	Dictionary target;
	host.call(counter, "store_total", { target, StringName("total") });
	EXPECT_EQ(text(target), "{ &\"total\": 7 }");
	EXPECT_TRUE(errors().empty());

	host.call(counter, "foo");
	host.call(counter, "add", {});
	EXPECT_THAT(errors(), ElementsAre("Invalid call. Nonexistent function 'foo' in base 'SampleCounter'.", "Invalid call to function 'add' in base 'SampleCounter'. Expected 1 argument(s)."));
}

TEST_F(PluginHostTest, InstantiatingUnknownClassesReports) {
	PluginHost host;
	EXPECT_EQ(host.instantiate("SampleCounter").get_type(), Variant::NIL);
	EXPECT_EQ(host.instantiate("Script").get_type(), Variant::NIL);
	EXPECT_THAT(errors(), ElementsAre("Cannot get class 'SampleCounter'.", "Class 'Script' or its base class cannot be instantiated."));
}

TEST_F(PluginHostTest, ReloadingRegistersTheClassAgain) {
	PluginHost host;
	ASSERT_TRUE(host.load(SAMPLE_PLUGIN_PATH, ENTRY));
	host.initialize();
	host.initialize();
	EXPECT_THAT(host.level_calls(), ElementsAre("initialize 2"));
	host.unload();
	host.unload();
	EXPECT_FALSE(host.is_loaded());

	ASSERT_TRUE(host.load(SAMPLE_PLUGIN_PATH, ENTRY));
	host.initialize();
	const Variant counter = host.instantiate("SampleCounter");
	EXPECT_EQ(int64_t(host.call(counter, "add", { 3 })), 3);
	EXPECT_TRUE(ClassDB::is_parent_class("SampleCounter", "Object"));
	EXPECT_TRUE(ClassDB::class_has_method("SampleCounter", "add", true));
	EXPECT_FALSE(ClassDB::class_has_method("SampleCounter", "get_reference_count", true));
	EXPECT_TRUE(ClassDB::class_has_method("SampleCounter", "get_reference_count"));
	// The plug-in's object is a RefCounted to this side too, with no dynamic_cast involved.
	Object *object = counter;
	ASSERT_NE(Object::cast_to<RefCounted>(object), nullptr);
	EXPECT_EQ(Object::cast_to<RefCounted>(object)->get_reference_count(), 1);
	EXPECT_TRUE(object->is_class("SampleCounter"));
	EXPECT_TRUE(errors().empty());
}

TEST_F(PluginHostTest, CallsOnWhatIsNotAnObjectUseTheScriptWording) {
	PluginHost host;
	host.call(Variant(5), "add", { 1 });
	Object *gone = memnew(Object);
	const Variant freed = gone;
	memdelete(gone);
	host.call(freed, "add");
	host.call(Variant(static_cast<Object *>(nullptr)), "add");
	EXPECT_THAT(errors(), ElementsAre("Invalid call. Nonexistent function 'add' in base 'int'.", "Attempt to call function 'add' in base 'previously freed' on a null instance.", "Attempt to call function 'add' in base 'null instance' on a null instance."));
}

TEST_F(PluginHostTest, AWrongTypeFromAScriptIsReportedAfterTheMethodRan) {
	PluginHost host;
	ASSERT_TRUE(host.load(SAMPLE_PLUGIN_PATH, ENTRY));
	host.initialize();
	const Variant counter = host.instantiate("SampleCounter");
	GDExtensionCallError error;
	const Variant answer = host.call(counter, "add", { "12" }, &error);
	// Only a plug-in built for debug checks the type; for release it converts silently.
#ifdef DEBUG_ENABLED
	EXPECT_EQ(answer.get_type(), Variant::NIL);
	EXPECT_EQ(error.error, GDEXTENSION_CALL_ERROR_INVALID_ARGUMENT);
	EXPECT_THAT(errors(), ElementsAre("Invalid type in function 'add' in base 'SampleCounter'. Cannot convert argument 1 from String to int."));
#else
	EXPECT_EQ(int64_t(answer), 12);
	EXPECT_EQ(error.error, GDEXTENSION_CALL_OK);
	EXPECT_TRUE(errors().empty());
#endif
	// Either way the method ran with the string converted: the total moved.
	EXPECT_EQ(int64_t(host.call(counter, "add", { 0 })), 12);
}

// Runs last: the library stays mapped afterwards, as it must while its objects live.
TEST_F(PluginHostTest, ZUnloadingWithLiveInstancesKeepsTheLibraryMapped) {
	Variant survivor;
	{
		PluginHost host;
		ASSERT_TRUE(host.load(SAMPLE_PLUGIN_PATH, ENTRY));
		host.initialize();
		survivor = host.instantiate("SampleCounter");
		host.unload();
		EXPECT_THAT(errors(), ElementsAre("Plug-in " + std::string(SAMPLE_PLUGIN_PATH) + " unloaded while 1 instance(s) of its classes are alive; the library stays mapped."));
	}
	// The class is gone, so a script can no longer call into it; the object still frees cleanly.
	Object *object = survivor;
	EXPECT_FALSE(object->has_method("add"));
	survivor = Variant();
}
