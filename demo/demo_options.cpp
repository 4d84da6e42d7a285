#include "demo_options.hpp"

#include <cerrno>
#include <cstdlib>

namespace veltrin_demo {

namespace {

// A whole decimal number in [p_low, p_high]; anything else (signs, spaces, trailing text,
// overflow) is refused.
bool read_number(const std::string &p_text, uint64_t p_low, uint64_t p_high, uint64_t &r_value) {
	if (p_text.empty() || p_text.size() > 20) {
		return false;
	}
	for (const char c : p_text) {
		if (c < '0' || c > '9') {
			return false;
		}
	}
	errno = 0;
	char *end = nullptr;
	const unsigned long long value = std::strtoull(p_text.c_str(), &end, 10);
	if (errno != 0 || end == nullptr || *end != '\0' || value < p_low || value > p_high) {
		return false;
	}
	r_value = value;
	return true;
}

} // namespace

ParsedOptions parse_demo_options(const std::vector<std::string> &p_arguments, const std::string &p_default_plugin) {
	ParsedOptions parsed;
	parsed.options.plugin_path = p_default_plugin;
	DemoOptions &options = parsed.options;
	for (size_t i = 0; i < p_arguments.size(); i++) {
		const std::string &argument = p_arguments[i];
		if (argument == "--json") {
			options.json = true;
			continue;
		}
		if (argument == "--no-timing") {
			options.timing = false;
			continue;
		}
		if (argument == "--help" || argument == "-h") {
			options.help = true;
			continue;
		}
		const bool takes_value = argument == "--guests" || argument == "--facilities" || argument == "--seed" || argument == "--plugin";
		if (!takes_value) {
			parsed.error = "unknown option '" + argument + "'";
			return parsed;
		}
		if (i + 1 >= p_arguments.size()) {
			parsed.error = "option " + argument + " needs a value";
			return parsed;
		}
		const std::string &text = p_arguments[++i];
		uint64_t value = 0;
		if (argument == "--plugin") {
			if (text.empty()) {
				parsed.error = "option --plugin needs a path";
				return parsed;
			}
			options.plugin_path = text;
		} else if (argument == "--guests") {
			if (!read_number(text, 1, MAX_GUESTS, value)) {
				parsed.error = "--guests wants a whole number from 1 to " + std::to_string(MAX_GUESTS) + ", not '" + text + "'";
				return parsed;
			}
			options.guests = int64_t(value);
		} else if (argument == "--facilities") {
			if (!read_number(text, 1, MAX_FACILITIES, value)) {
				parsed.error = "--facilities wants a whole number from 1 to " + std::to_string(MAX_FACILITIES) + ", not '" + text + "'";
				return parsed;
			}
			options.facilities = int64_t(value);
		} else {
			if (!read_number(text, 0, UINT64_MAX, value)) {
				parsed.error = "--seed wants a whole number from 0 to " + std::to_string(UINT64_MAX) + ", not '" + text + "'";
				return parsed;
			}
			options.seed = value;
		}
	}
	return parsed;
}

std::string demo_usage(const std::string &p_program) {
	return "usage: " + p_program + " [--guests N] [--facilities M] [--seed S] [--json] [--no-timing] [--plugin PATH]\n"
	                               "\n"
	                               "Loads the numeric core plug-in as the engine does and lets a small resort's guests choose\n"
	                               "where to go next.\n"
	                               "\n"
	                               "  --guests N      guests to decide for, 1 to " +
	        std::to_string(MAX_GUESTS) + " (default " + std::to_string(DEFAULT_GUESTS) + ")\n" +
	        "  --facilities M  facilities in the resort, 1 to " + std::to_string(MAX_FACILITIES) + " (default " + std::to_string(DEFAULT_FACILITIES) + ")\n" +
	        "  --seed S        seed of the facilities and guests beyond the built-in ones (default 1)\n"
	        "  --json          print a machine-readable report\n"
	        "  --no-timing     leave measured times out, so the output depends only on the options\n"
	        "  --plugin PATH   the plug-in library to load (default: the one this demo was built with)\n";
}

} // namespace veltrin_demo
