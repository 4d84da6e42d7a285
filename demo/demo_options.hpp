#pragma once

// The demo's command line: what to build, how to print it, where the plug-in is.

#include <cstdint>
#include <string>
#include <vector>

namespace veltrin_demo {

constexpr int64_t DEFAULT_GUESTS = 3;
constexpr int64_t DEFAULT_FACILITIES = 12;
constexpr int64_t MAX_GUESTS = 100;
constexpr int64_t MAX_FACILITIES = 5000;

struct DemoOptions {
	int64_t guests = DEFAULT_GUESTS;
	int64_t facilities = DEFAULT_FACILITIES;
	uint64_t seed = 1;
	bool json = false;
	// Leaves every measured time out, so that two runs print the same bytes.
	bool timing = true;
	bool help = false;
	std::string plugin_path;
};

struct ParsedOptions {
	DemoOptions options;
	// Empty when the command line was understood.
	std::string error;
};

// p_arguments without the program name. p_default_plugin is used unless --plugin is given.
ParsedOptions parse_demo_options(const std::vector<std::string> &p_arguments, const std::string &p_default_plugin);
std::string demo_usage(const std::string &p_program);

} // namespace veltrin_demo
