#pragma once

// The base of the suites that call VeltrinNumericCore's bound methods by name, as the game's
// scripts do: the plug-in is loaded once per suite, each test gets a new instance, and a test
// fails when the plug-in provoked an engine error that the test did not take.

#include "plugin_session.hpp"

#include <engine_double/host.hpp>

#include <gtest/gtest.h>

#include <godot_cpp/variant/variant.hpp>

#include <vector>

namespace veltrin_test {

class CoreTest : public ::testing::Test {
protected:
	static engine_double::PluginHost *host;
	godot::Variant core;

	static void SetUpTestSuite();
	static void TearDownTestSuite();
	// A new core and clean logs. A suite that builds its fixture afterwards calls
	// start_logs() again, so that the fixture's own set-up is not logged.
	void SetUp() override;
	// Checks the engine error log, then releases the core.
	void TearDown() override;

	godot::Variant call(const char *p_method, const std::vector<godot::Variant> &p_arguments = {}) const;
};

} // namespace veltrin_test
