#include "core_test.hpp"

#include <engine_double/error_log.hpp>

#include <string>

using namespace godot;

namespace veltrin_test {

engine_double::PluginHost *CoreTest::host = nullptr;

void CoreTest::SetUpTestSuite() {
	host = open_plugin();
	ASSERT_NE(host, nullptr);
}

void CoreTest::TearDownTestSuite() {
	close_plugin();
	host = nullptr;
}

void CoreTest::SetUp() {
	core = host->instantiate("VeltrinNumericCore");
	ASSERT_EQ(core.get_type(), Variant::OBJECT);
	start_logs();
}

void CoreTest::TearDown() {
	// The plug-in raises no engine error of its own.
	EXPECT_EQ(engine_double::error_log_messages(), std::vector<std::string>());
	core = Variant();
}

Variant CoreTest::call(const char *p_method, const std::vector<Variant> &p_arguments) const {
	return host->call(core, p_method, p_arguments);
}

} // namespace veltrin_test
