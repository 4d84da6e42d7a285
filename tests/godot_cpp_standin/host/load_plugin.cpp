// Loads a plug-in as the engine does (its entry by name, the SCENE level) and creates one
// instance of a class by name. Exits 0 when the class is registered and instantiates;
// otherwise prints what the engine reported.
//
//     godot_cpp_standin_host <library> <entry symbol> <class>

#include <engine_double/error_log.hpp>
#include <engine_double/host.hpp>

#include <cstdio>
#include <string>

int main(int p_argc, char **p_argv) {
	if (p_argc != 4) {
		std::fprintf(stderr, "usage: %s <library> <entry symbol> <class>\n", p_argv[0]);
		return 2;
	}
	const std::string wanted = p_argv[3];
	engine_double::PluginHost host;
	bool registered = false;
	bool instantiated = false;
	if (host.load(p_argv[1], p_argv[2])) {
		host.initialize(godot::MODULE_INITIALIZATION_LEVEL_SCENE);
		for (const engine_double::ClassListing &listing : host.classes()) {
			std::printf("registered %s (%zu methods)\n", godot::String(listing.name).utf8().get_data(), listing.methods.size());
			registered = registered || godot::String(listing.name) == godot::String(wanted.c_str());
		}
		instantiated = host.instantiate(godot::StringName(wanted.c_str())).get_type() == godot::Variant::OBJECT;
		host.unload();
	}
	for (const std::string &message : engine_double::error_log_messages()) {
		std::fprintf(stderr, "engine: %s\n", message.c_str());
	}
	if (!registered || !instantiated) {
		std::fprintf(stderr, "%s: class %s %s\n", p_argv[1], wanted.c_str(), registered ? "does not instantiate" : "is not registered");
		return 1;
	}
	return 0;
}
