// veltrin_demo: what the game does with the numeric core, without the engine. Loads the
// plug-in through the engine double's host, builds a small resort of script objects, lets
// each guest choose a facility and walk there, and prints what the core answered.

#include "core_session.hpp"
#include "demo_options.hpp"
#include "demo_report.hpp"
#include "demo_resort.hpp"
#include "guest_decision.hpp"
#include "report_json.hpp"
#include "report_text.hpp"
#include "timing_budget.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/error_log.hpp>

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#ifndef VELTRIN_DEMO_PLUGIN_PATH
#define VELTRIN_DEMO_PLUGIN_PATH ""
#endif

using namespace godot;
using namespace veltrin_demo;

namespace {

constexpr int64_t SAMPLE_WINDOW = 64;

// What one guest's calls may take in the game's frame budget (95th percentile).
void set_budgets(TimingBudget &r_budget) {
	r_budget.set_limit(METRIC_PROJECTION, 500000);
	r_budget.set_limit(METRIC_BATCH, 100000);
	r_budget.set_limit(METRIC_SEARCH, 100000);
	r_budget.set_limit(METRIC_DECISION, 1000000);
}

std::vector<DiagnosticRow> diagnostic_rows(const Dictionary &p_snapshot) {
	std::vector<DiagnosticRow> rows;
	const Array phases = p_snapshot.keys();
	for (int64_t i = 0; i < phases.size(); i++) {
		const Dictionary counters = p_snapshot[phases[i]];
		rows.push_back(DiagnosticRow { String(phases[i]).utf8().get_data(), counters.get("calls", 0), counters.get("nanoseconds", 0) });
	}
	return rows;
}

int run_demo(const DemoOptions &p_options) {
	CoreSession session;
	std::string error;
	if (!session.open(p_options.plugin_path, error)) {
		std::cerr << "veltrin_demo: cannot start the plug-in: " << error << '\n';
		return 1;
	}
	const bool has_diagnostics = session.has_method("diagnostic_snapshot");
	if (has_diagnostics) {
		session.call("diagnostic_reset");
	}

	DemoResort resort(p_options.facilities, p_options.guests, p_options.seed);
	TimingBudget budget(SAMPLE_WINDOW);
	set_budgets(budget);

	DemoReport report;
	report.seed = p_options.seed;
	report.width = resort.width();
	report.floors = resort.floors();
	report.facilities = resort.facilities();
	bool all_decided = true;
	for (const DemoGuest &guest : resort.guests()) {
		report.guests.push_back(decide_for_guest(session, resort, budget, guest));
		all_decided = all_decided && report.guests.back().decided;
	}
	report.timing = budget.rows();
	report.has_diagnostics = has_diagnostics;
	if (has_diagnostics) {
		report.diagnostics = diagnostic_rows(session.call("diagnostic_snapshot"));
	}

	if (p_options.json) {
		print_json_report(report, p_options.timing, std::cout);
	} else {
		print_text_report(report, p_options.timing, std::cout);
	}
	for (const std::string &message : engine_double::error_log_messages()) {
		std::cerr << "veltrin_demo: engine error: " << message << '\n';
	}
	if (!all_decided) {
		std::cerr << "veltrin_demo: the core declined a guest of the demo resort\n";
		return 1;
	}
	return engine_double::error_log_size() == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
	const std::string program = argc > 0 ? argv[0] : "veltrin_demo";
	const ParsedOptions parsed = parse_demo_options(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc), VELTRIN_DEMO_PLUGIN_PATH);
	if (!parsed.error.empty()) {
		std::cerr << program << ": " << parsed.error << "\n\n"
		          << demo_usage(program);
		return 2;
	}
	if (parsed.options.help) {
		std::cout << demo_usage(program);
		return 0;
	}
	// Nobody reads the double's call log here; keeping it would only cost memory.
	engine_double::call_log_set_enabled(false);
	try {
		return run_demo(parsed.options);
	} catch (const std::exception &p_error) {
		std::cerr << "veltrin_demo: " << p_error.what() << '\n';
		return 1;
	}
}
