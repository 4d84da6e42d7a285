#pragma once

// The game's performance budget object, which the core's performance_record_sample keeps
// the demo's timings in: one sample per bound call, a window per metric, and the report of
// the latest sample as the timing summary.

#include "core_session.hpp"
#include "demo_report.hpp"

#include <engine_double/script_double.hpp>

#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace veltrin_demo {

extern const char *const PERFORMANCE_BUDGET_SCRIPT_PATH;

class TimingBudget {
public:
	explicit TimingBudget(int64_t p_sample_capacity);

	// The budget a metric is measured against (its 95th percentile, in microseconds).
	void set_limit(const godot::StringName &p_metric, int64_t p_limit_us);
	// Records through the core; false when the core declined the sample.
	bool record(const CoreSession &p_session, const godot::StringName &p_metric, int64_t p_duration_us);
	// One row per metric, in the order they were first recorded.
	std::vector<TimingRow> rows() const;

private:
	godot::Ref<engine_double::ScriptDouble> script;
	godot::Ref<godot::RefCounted> owner;
	godot::Dictionary budgets;
	std::vector<std::pair<godot::StringName, godot::Dictionary>> reports;
};

// Microseconds of the steady clock since p_start.
int64_t microseconds_since(std::chrono::steady_clock::time_point p_start);

} // namespace veltrin_demo
