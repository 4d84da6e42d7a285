#pragma once

// The report for people: per guest the ranking, the refusals and the route on a map, then
// the timings and the core's own phase counters.

#include "demo_report.hpp"

#include <ostream>

namespace veltrin_demo {

void print_text_report(const DemoReport &p_report, bool p_timing, std::ostream &r_out);

} // namespace veltrin_demo
