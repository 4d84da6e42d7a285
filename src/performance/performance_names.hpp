#pragma once

// Every name performance_record_sample reads, writes or reports, interned once per call so
// that no lookup on the way builds a name from text.

#include <godot_cpp/variant/string_name.hpp>

namespace veltrin {

struct PerformanceNames {
	// Script resource.
	const godot::StringName resource_path = "resource_path";

	// Properties of the performance budget.
	const godot::StringName _samples = "_samples";
	const godot::StringName _ordered_samples = "_ordered_samples";
	const godot::StringName _ordered_sample_bytes = "_ordered_sample_bytes";
	const godot::StringName _integer_window_bytes = "_integer_window_bytes";
	const godot::StringName _totals = "_totals";
	const godot::StringName _sample_counts = "_sample_counts";
	const godot::StringName _budgets = "_budgets";
	const godot::StringName sample_capacity = "sample_capacity";

	// Keys of a metric's budget.
	const godot::StringName aggregation = "aggregation";
	const godot::StringName limit_us = "limit_us";

	// Keys of the answer and its report.
	const godot::StringName supported = "supported";
	const godot::StringName report = "report";
	const godot::StringName metric_id = "metric_id";
	const godot::StringName window_sample_count = "window_sample_count";
	const godot::StringName lifetime_sample_count = "lifetime_sample_count";
	const godot::StringName average_us = "average_us";
	const godot::StringName p95_us = "p95_us";
	const godot::StringName maximum_us = "maximum_us";
	const godot::StringName measured_us = "measured_us";
	const godot::StringName budget_exceeded = "budget_exceeded";
};

} // namespace veltrin
