#include "plugin_loader.hpp"

#include <cstdio>
#include <cstdlib>

using namespace godot;

namespace veltrin_fuzz {

Variant load_numeric_core(engine_double::PluginHost &r_host, const char *p_path) {
	if (!r_host.load(p_path, "veltrin_numeric_core_init")) {
		std::fprintf(stderr, "cannot load the plug-in from %s\n", p_path);
		std::abort();
	}
	r_host.initialize(MODULE_INITIALIZATION_LEVEL_SCENE);
	const Variant core = r_host.instantiate("VeltrinNumericCore");
	if (core.get_type() != Variant::OBJECT) {
		std::fprintf(stderr, "cannot instantiate VeltrinNumericCore from %s\n", p_path);
		std::abort();
	}
	return core;
}

} // namespace veltrin_fuzz
