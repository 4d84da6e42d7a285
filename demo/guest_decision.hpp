#pragma once

// One guest's decision as the game's scripts take it: the core projects the facilities'
// candidate rows, ranks them for the guest, and finds the route to the favourite over the
// resort's cell graph; every call is timed into the performance budget.

#include "core_session.hpp"
#include "demo_report.hpp"
#include "demo_resort.hpp"
#include "timing_budget.hpp"

namespace veltrin_demo {

// Metric names of the performance budget.
extern const char *const METRIC_PROJECTION;
extern const char *const METRIC_BATCH;
extern const char *const METRIC_SEARCH;
extern const char *const METRIC_DECISION;

GuestOutcome decide_for_guest(const CoreSession &p_session, DemoResort &p_resort, TimingBudget &p_budget, const DemoGuest &p_guest);

} // namespace veltrin_demo
