#include "ratio_reporter.hpp"

#include <cstdio>

void RatioReporter::ReportRuns(const std::vector<Run> &p_runs) {
	ConsoleReporter::ReportRuns(p_runs);
	for (const Run &run : p_runs) {
		// With --benchmark_repetitions the median stands for the benchmark.
		const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
		if (run.error_occurred || (run.run_type != Run::RT_Iteration && !median)) {
			continue;
		}
		const std::string &name = run.run_name.function_name;
		const size_t slash = name.rfind('/');
		if (slash == std::string::npos) {
			continue;
		}
		Timing &timing = timings[name.substr(0, slash)][name.substr(slash + 1)];
		if (timing.from_median && !median) {
			continue;
		}
		timing.from_median = median;
		timing.nanoseconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
		const auto settled = run.counters.find("settled");
		timing.settled = settled == run.counters.end() ? 0.0 : double(settled->second);
	}
}

void RatioReporter::Finalize() {
	ConsoleReporter::Finalize();
	std::printf("\n%-28s %14s %14s %8s  (%s = baseline)\n", "graph", "ns/settled", "baseline", "speedup",
	        baseline.c_str());
	for (const auto &[group, by_name] : timings) {
		const auto ours = by_name.find(subject);
		const auto theirs = by_name.find(baseline);
		if (ours == by_name.end() || theirs == by_name.end() || ours->second.nanoseconds <= 0.0 ||
		        ours->second.settled <= 0.0) {
			continue;
		}
		std::printf("%-28s %14.1f %14.1f %7.2fx\n", group.c_str(), ours->second.nanoseconds / ours->second.settled,
		        theirs->second.nanoseconds / theirs->second.settled,
		        theirs->second.nanoseconds / ours->second.nanoseconds);
	}
	std::fflush(stdout);
}
