#include "performance/performance_report.hpp"

#include <godot_cpp/variant/variant.hpp>

using namespace godot;

namespace veltrin {

Dictionary recorded_answer(const PerformanceNames &p_names, const StringName &p_metric_id, const PerformanceReport &p_report) {
	Dictionary report;
	report[p_names.metric_id] = p_metric_id;
	report[p_names.window_sample_count] = p_report.window_sample_count;
	report[p_names.lifetime_sample_count] = p_report.lifetime_sample_count;
	report[p_names.average_us] = p_report.average_us;
	report[p_names.p95_us] = p_report.p95_us;
	report[p_names.maximum_us] = p_report.maximum_us;
	report[p_names.aggregation] = p_report.aggregation;
	report[p_names.measured_us] = p_report.measured_us;
	report[p_names.limit_us] = p_report.limit_us;
	report[p_names.budget_exceeded] = p_report.budget_exceeded;

	Dictionary answer;
	answer[p_names.supported] = true;
	answer[p_names.report] = report;
	return answer;
}

} // namespace veltrin
