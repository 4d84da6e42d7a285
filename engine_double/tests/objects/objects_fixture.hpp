#pragma once

// Every test starts with empty error and call logs, and can build the path service script
// the plug-in talks to.

#include <engine_double/call_log.hpp>
#include <engine_double/error_log.hpp>
#include <engine_double/script_double.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

class ObjectsTest : public ::testing::Test {
protected:
	void SetUp() override {
		engine_double::error_log_clear();
		engine_double::call_log_clear();
		engine_double::call_log_set_enabled(true);
	}
	void TearDown() override {
		engine_double::error_log_clear();
		engine_double::call_log_clear();
		engine_double::call_log_set_enabled(true);
	}

	static std::vector<std::string> errors() { return engine_double::error_log_messages(); }

	static std::string text(const godot::Variant &p_value) { return p_value.stringify().utf8().get_data(); }

	// path_service.gd as the plug-in meets it: constants, shared containers, a three-argument
	// edge provider, a typed two-argument method and the measurement signal.
	static godot::Ref<engine_double::ScriptDouble> path_service_script() {
		using godot::Variant;
		godot::Ref<engine_double::ScriptDouble> script = engine_double::ScriptDouble::create("res://scripts/world/path_service.gd");
		script->constant("FRONT", 0).constant("BACK", 1).constant("MOVEMENT_WALK", godot::StringName("walk"));
		script->member("_path_cache", godot::Dictionary()).member("cache_misses", 0);
		script->method("_guest_tree_shared_edges", 3, [](const engine_double::ScriptCall &p_call) -> Variant {
			godot::Array rows;
			rows.push_back(p_call[0]);
			rows.push_back(p_call[1]);
			rows.push_back(p_call[2]);
			return rows;
		});
		script->method("two_args", { { "a", Variant::INT }, { "b", Variant::INT } }, Variant::INT, [](const engine_double::ScriptCall &p_call) -> Variant {
			return int64_t(p_call[0]) + int64_t(p_call[1]);
		});
		script->signal("path_query_measured", { "elapsed" });
		return script;
	}
};
