#include "timing_budget.hpp"

#include <godot_cpp/variant/string.hpp>

using namespace godot;

namespace veltrin_demo {

const char *const PERFORMANCE_BUDGET_SCRIPT_PATH = "res://scripts/core/performance_budget.gd";

TimingBudget::TimingBudget(int64_t p_sample_capacity) {
	script = engine_double::ScriptDouble::create(PERFORMANCE_BUDGET_SCRIPT_PATH);
	script->member("_samples", Dictionary())
	        .member("_ordered_samples", Dictionary())
	        .member("_ordered_sample_bytes", Dictionary())
	        .member("_integer_window_bytes", Dictionary())
	        .member("_totals", Dictionary())
	        .member("_sample_counts", Dictionary())
	        .member("_budgets", Dictionary())
	        .member("sample_capacity", p_sample_capacity);
	owner = script->instantiate();
	budgets = owner->get("_budgets");
}

void TimingBudget::set_limit(const StringName &p_metric, int64_t p_limit_us) {
	Dictionary budget;
	budget["aggregation"] = int64_t(1);
	budget["limit_us"] = p_limit_us;
	budgets[p_metric] = budget;
}

bool TimingBudget::record(const CoreSession &p_session, const StringName &p_metric, int64_t p_duration_us) {
	const Dictionary answer = p_session.call("performance_record_sample", { Variant(owner.ptr()), p_metric, p_duration_us });
	if (!bool(answer.get("supported", false))) {
		return false;
	}
	for (auto &entry : reports) {
		if (entry.first == p_metric) {
			entry.second = answer.get("report", Dictionary());
			return true;
		}
	}
	reports.emplace_back(p_metric, answer.get("report", Dictionary()));
	return true;
}

std::vector<TimingRow> TimingBudget::rows() const {
	std::vector<TimingRow> rows;
	for (const auto &entry : reports) {
		const Dictionary &report = entry.second;
		TimingRow row;
		row.metric = String(entry.first).utf8().get_data();
		row.samples = report.get("lifetime_sample_count", 0);
		row.average_us = report.get("average_us", 0);
		row.p95_us = report.get("p95_us", 0);
		row.maximum_us = report.get("maximum_us", 0);
		row.limit_us = report.get("limit_us", 0);
		row.budget_exceeded = report.get("budget_exceeded", false);
		rows.push_back(row);
	}
	return rows;
}

int64_t microseconds_since(std::chrono::steady_clock::time_point p_start) {
	return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - p_start).count();
}

} // namespace veltrin_demo
