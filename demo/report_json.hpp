#pragma once

// The report for programs: the same findings as the text report, as one JSON object.
// Without timing every measured time is left out, so equal options print equal bytes.

#include "demo_report.hpp"

#include <ostream>

namespace veltrin_demo {

void print_json_report(const DemoReport &p_report, bool p_timing, std::ostream &r_out);

} // namespace veltrin_demo
