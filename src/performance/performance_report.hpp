#pragma once

// The report performance_record_sample answers with, keys in their fixed order.

#include "performance/performance_names.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>

namespace veltrin {

struct PerformanceReport {
	int64_t window_sample_count = 0;
	int64_t lifetime_sample_count = 0;
	int64_t average_us = 0;
	int64_t p95_us = 0;
	int64_t maximum_us = 0;
	int64_t aggregation = 1;
	int64_t measured_us = 0;
	int64_t limit_us = 0;
	bool budget_exceeded = false;
};

// {"supported": true, "report": {...}}.
godot::Dictionary recorded_answer(const PerformanceNames &p_names, const godot::StringName &p_metric_id, const PerformanceReport &p_report);

} // namespace veltrin
