#pragma once

// Loads the built plug-in through the double's host, as the engine does, once per test suite.

#include "plugin_session.hpp"

#include <engine_double/host.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

class PluginTest : public ::testing::Test {
protected:
	static engine_double::PluginHost *host;

	static void SetUpTestSuite();
	static void TearDownTestSuite();

	// A new VeltrinNumericCore, as a script's VeltrinNumericCore.new().
	godot::Variant make_core() const;
	godot::Variant call(const godot::Variant &p_core, const char *p_method, const std::vector<godot::Variant> &p_arguments = {}) const;
};
