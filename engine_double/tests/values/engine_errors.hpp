#pragma once

// A fixture that starts every test with an empty engine error log.

#include <engine_double/error_log.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

class EngineErrors : public ::testing::Test {
protected:
	void SetUp() override { engine_double::error_log_clear(); }
	void TearDown() override { engine_double::error_log_clear(); }

	static std::vector<std::string> errors() { return engine_double::error_log_messages(); }
	static size_t error_count() { return engine_double::error_log_size(); }
};
