#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Console output plus, at the end, the CPU time of each "<group>/<baseline>"
// benchmark divided by that of "<group>/<subject>" from the same run, with
// both times also given per settled node (the "settled" counter). CPU time,
// because the machines that run this are shared.
class RatioReporter : public benchmark::ConsoleReporter {
public:
	RatioReporter(std::string p_subject, std::string p_baseline, OutputOptions p_options) :
	        ConsoleReporter(p_options), subject(std::move(p_subject)), baseline(std::move(p_baseline)) {}

	void ReportRuns(const std::vector<Run> &p_runs) override;
	void Finalize() override;

private:
	struct Timing {
		double nanoseconds = 0.0;
		double settled = 0.0;
		bool from_median = false;
	};

	std::string subject;
	std::string baseline;
	// group -> implementation -> timing
	std::map<std::string, std::map<std::string, Timing>> timings;
};
