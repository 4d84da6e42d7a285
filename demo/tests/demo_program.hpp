#pragma once

// Runs the built demo program with arguments and keeps what it printed.

#include "json_reader.hpp"

#include <string>
#include <vector>

namespace veltrin_demo_test {

struct DemoRun {
	int exit_code = -1;
	std::string out;
	std::string err;
};

DemoRun run_demo(const std::vector<std::string> &p_arguments);

// The sections of the text report, split at its "== " headings (the opening line first).
std::vector<std::string> text_sections(const std::string &p_report);

// The facility ids of one guest section's ranked and rejected tables, in printed order.
std::vector<std::string> ranked_ids(const std::string &p_section);
std::vector<std::pair<std::string, std::string>> rejected_entries(const std::string &p_section);
// The map lines of one guest section (the lines after its "Route to" line).
std::vector<std::string> map_lines(const std::string &p_section);

} // namespace veltrin_demo_test
