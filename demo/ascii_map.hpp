#pragma once

// The floors of the resort as text, a guest's route drawn on them.

#include "demo_report.hpp"

#include <string>
#include <vector>

namespace veltrin_demo {

// Route cells, except its ends.
constexpr char MAP_ROUTE = '*';
constexpr char MAP_START = '@';
constexpr char MAP_GOAL = 'X';
constexpr char MAP_ELEVATOR = '|';
constexpr char MAP_STAIRS = '/';

// Floors from the top down, each as its back and its front layer, with a column ruler and a
// legend. Large resorts are cut down to the floors and columns around the route.
std::vector<std::string> draw_route_map(const DemoReport &p_report, const GuestOutcome &p_guest);

} // namespace veltrin_demo
