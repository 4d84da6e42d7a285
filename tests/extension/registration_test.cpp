// What a script sees of the plug-in: when the class exists, and exactly which methods it binds.

#include "plugin_fixture.hpp"

#include <engine_double/error_log.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>

#include <string>
#include <vector>

using namespace godot;

namespace {

struct ExpectedArgument {
	const char *name;
	Variant::Type type;
	const char *element_type; // typed arrays only
};

struct ExpectedMethod {
	const char *name;
	std::vector<ExpectedArgument> arguments;
	Variant::Type return_type; // NIL: returns nothing
	bool is_const;
};

const std::vector<ExpectedMethod> &expected_methods() {
	static const std::vector<ExpectedMethod> methods = {
#ifdef VELTRIN_DIAGNOSTICS
		{ "diagnostic_reset", {}, Variant::NIL, false },
		{ "diagnostic_snapshot", {}, Variant::DICTIONARY, true },
#endif
		{ "performance_record_sample", { { "owner", Variant::OBJECT, "" }, { "metric_id", Variant::STRING_NAME, "" }, { "duration_us", Variant::INT, "" } }, Variant::DICTIONARY, false },
		{ "guest_candidate_batch", { { "owner", Variant::OBJECT, "" }, { "guest_id", Variant::STRING_NAME, "" }, { "facilities", Variant::ARRAY, "" }, { "context", Variant::DICTIONARY, "" } }, Variant::DICTIONARY, false },
		{ "guest_tree_edge_rows", { { "path", Variant::OBJECT, "" }, { "current", Variant::VECTOR3I, "" }, { "layers", Variant::ARRAY, "" }, { "access", Variant::ARRAY, "" } }, Variant::DICTIONARY, false },
		{ "search", { { "cells", Variant::ARRAY, "" }, { "indices", Variant::DICTIONARY, "" }, { "start_index", Variant::INT, "" }, { "goals", Variant::DICTIONARY, "" }, { "edge_provider", Variant::CALLABLE, "" } }, Variant::DICTIONARY, false },
		{ "search_cached", { { "cells", Variant::ARRAY, "" }, { "indices", Variant::DICTIONARY, "" }, { "start_index", Variant::INT, "" }, { "goals", Variant::DICTIONARY, "" }, { "edge_provider", Variant::CALLABLE, "" } }, Variant::DICTIONARY, false },
		{ "clear_edge_cache", {}, Variant::NIL, false },
		{ "nearest_guest_access", { { "path", Variant::OBJECT, "" }, { "start", Variant::VECTOR3I, "" }, { "goals", Variant::ARRAY, "" }, { "fallback_target", Variant::VECTOR3I, "" }, { "layers", Variant::ARRAY, "int" }, { "access", Variant::ARRAY, "StringName" }, { "ticks", Variant::CALLABLE, "" } }, Variant::DICTIONARY, false },
		{ "project_guest_candidates", { { "runtime", Variant::OBJECT, "" }, { "guest_id", Variant::STRING_NAME, "" }, { "open_state", Variant::INT, "" }, { "degraded_state", Variant::INT, "" }, { "movement_scale", Variant::INT, "" }, { "stair_credit", Variant::INT, "" }, { "orthogonal_cost", Variant::INT, "" }, { "ticks", Variant::CALLABLE, "" } }, Variant::DICTIONARY, false },
	};
	return methods;
}

std::string text(const StringName &p_name) {
	return String(p_name).utf8().get_data();
}

} // namespace

TEST(PluginLoading, ClassExistsOnlyFromTheSceneLevel) {
	engine_double::PluginHost host;
	ASSERT_TRUE(host.load(VELTRIN_PLUGIN_PATH, "veltrin_numeric_core_init"));
	EXPECT_EQ(host.minimum_level(), MODULE_INITIALIZATION_LEVEL_SCENE);

	host.initialize(MODULE_INITIALIZATION_LEVEL_SERVERS);
	EXPECT_TRUE(host.classes().empty());
	engine_double::error_log_clear();
	EXPECT_EQ(host.instantiate("VeltrinNumericCore").get_type(), Variant::NIL);
	EXPECT_GT(engine_double::error_log_size(), 0u);
	engine_double::error_log_clear();

	host.initialize(MODULE_INITIALIZATION_LEVEL_SCENE);
	ASSERT_EQ(host.classes().size(), 1u);
	EXPECT_EQ(host.instantiate("VeltrinNumericCore").get_type(), Variant::OBJECT);

	// The engine calls the initializer only for levels from the plug-in's minimum on,
	// and the terminator in reverse.
	host.initialize(MODULE_INITIALIZATION_LEVEL_EDITOR);
	host.unload();
	const std::vector<std::string> expected_calls = { "initialize 2", "initialize 3", "deinitialize 3", "deinitialize 2" };
	EXPECT_EQ(host.level_calls(), expected_calls);
}

TEST_F(PluginTest, ClassIsAnOrdinaryRefCountedClass) {
	const std::vector<engine_double::ClassListing> classes = host->classes();
	ASSERT_EQ(classes.size(), 1u);
	const engine_double::ClassListing &core = classes[0];
	EXPECT_EQ(text(core.name), "VeltrinNumericCore");
	EXPECT_EQ(text(core.parent), "RefCounted");
	EXPECT_FALSE(core.is_virtual);
	EXPECT_FALSE(core.is_abstract);
	EXPECT_TRUE(core.is_exposed);
	EXPECT_FALSE(core.is_runtime);
	EXPECT_TRUE(core.signals.empty());
	EXPECT_TRUE(core.constants.empty());
}

TEST_F(PluginTest, BindsExactlyTheMethodTableInOrder) {
	const std::vector<engine_double::MethodListing> methods = host->classes().at(0).methods;
	const std::vector<ExpectedMethod> &expected = expected_methods();
	ASSERT_EQ(methods.size(), expected.size());
	for (size_t i = 0; i < expected.size(); i++) {
		const engine_double::MethodListing &method = methods[i];
		SCOPED_TRACE(expected[i].name);
		EXPECT_EQ(text(method.name), expected[i].name);
		EXPECT_EQ(method.is_const, expected[i].is_const);
		EXPECT_FALSE(method.is_vararg);
		EXPECT_FALSE(method.is_static);
		EXPECT_TRUE(method.default_arguments.empty());
		EXPECT_EQ(method.has_return, expected[i].return_type != Variant::NIL);
		if (method.has_return) {
			EXPECT_EQ(method.return_value.type, expected[i].return_type);
		}
		ASSERT_EQ(method.arguments.size(), expected[i].arguments.size());
		for (size_t a = 0; a < method.arguments.size(); a++) {
			EXPECT_EQ(text(method.arguments[a].name), expected[i].arguments[a].name);
			EXPECT_EQ(method.arguments[a].type, expected[i].arguments[a].type);
			if (expected[i].arguments[a].element_type[0] != '\0') {
				EXPECT_EQ(std::string(method.arguments[a].hint_string.utf8().get_data()), expected[i].arguments[a].element_type);
			}
		}
	}
}

TEST_F(PluginTest, RejectedSearchAnswersUnusable) {
	const Variant core = make_core();
	const Dictionary cleared = call(core, "clear_edge_cache");
	EXPECT_TRUE(cleared.is_empty());
	const Dictionary searched = call(core, "search", { Array(), Dictionary(), 5, Dictionary(), Callable() });
	ASSERT_TRUE(searched.has(StringName("status")));
	EXPECT_EQ(String(searched.get(StringName("status"), Variant())), String("unusable"));
}

#ifndef VELTRIN_DIAGNOSTICS
TEST_F(PluginTest, DiagnosticMethodsAreMissingWithoutDiagnostics) {
	const Variant core = make_core();
	for (const char *name : { "diagnostic_reset", "diagnostic_snapshot" }) {
		engine_double::error_log_clear();
		const Variant answer = call(core, name);
		EXPECT_EQ(answer.get_type(), Variant::NIL);
		const std::vector<std::string> errors = engine_double::error_log_messages();
		ASSERT_EQ(errors.size(), 1u);
		EXPECT_EQ(errors[0], std::string("Invalid call. Nonexistent function '") + name + "' in base 'VeltrinNumericCore'.");
	}
	engine_double::error_log_clear();
}
#endif
