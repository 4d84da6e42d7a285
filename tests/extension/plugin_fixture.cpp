#include "plugin_fixture.hpp"

std::unique_ptr<engine_double::PluginHost> PluginTest::host;

void PluginTest::SetUpTestSuite() {
	host = std::make_unique<engine_double::PluginHost>();
	ASSERT_TRUE(host->load(VELTRIN_PLUGIN_PATH, "veltrin_numeric_core_init"));
	host->initialize(godot::MODULE_INITIALIZATION_LEVEL_SCENE);
}

void PluginTest::TearDownTestSuite() {
	host->unload();
	host.reset();
}

godot::Variant PluginTest::make_core() const {
	return host->instantiate("VeltrinNumericCore");
}

godot::Variant PluginTest::call(const godot::Variant &p_core, const char *p_method, const std::vector<godot::Variant> &p_arguments) const {
	return host->call(p_core, p_method, p_arguments);
}
