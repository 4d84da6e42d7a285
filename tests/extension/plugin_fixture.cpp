#include "plugin_fixture.hpp"

engine_double::PluginHost *PluginTest::host = nullptr;

void PluginTest::SetUpTestSuite() {
	host = veltrin_test::open_plugin();
	ASSERT_NE(host, nullptr);
}

void PluginTest::TearDownTestSuite() {
	veltrin_test::close_plugin();
	host = nullptr;
}

godot::Variant PluginTest::make_core() const {
	return host->instantiate("VeltrinNumericCore");
}

godot::Variant PluginTest::call(const godot::Variant &p_core, const char *p_method, const std::vector<godot::Variant> &p_arguments) const {
	return host->call(p_core, p_method, p_arguments);
}
