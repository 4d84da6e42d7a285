#pragma once

// The plug-in as the engine runs it: the library opened through the double's host, its entry
// called, the SCENE level initialized, one VeltrinNumericCore made by class name and its
// methods called by name, as a script calls them.

#include <engine_double/host.hpp>

#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <string>
#include <vector>

namespace veltrin_demo {

class CoreSession {
public:
	CoreSession() = default;
	~CoreSession();
	CoreSession(const CoreSession &) = delete;
	CoreSession &operator=(const CoreSession &) = delete;

	// False with the engine's message in r_error when the library does not load or the class
	// cannot be made.
	bool open(const std::string &p_library_path, std::string &r_error);
	godot::Variant call(const char *p_method, const std::vector<godot::Variant> &p_arguments = {}) const;
	// Whether the loaded class binds p_method (configurations differ in what they bind).
	bool has_method(const char *p_method) const;

private:
	engine_double::PluginHost host;
	godot::Variant core;
	std::vector<godot::StringName> methods;
};

} // namespace veltrin_demo
