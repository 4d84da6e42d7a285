#pragma once

// Engine crossings and modelled engine nanoseconds per unit of work next to the time:
// "crossings/unit" and "own_ns/unit" are the plug-in's own, "script_crossings/unit" and
// "script_ns/unit" those inside the script methods it called (their dispatch and bodies; in
// the game those run inside the engine). The nanoseconds are the engine double's cost model
// (engine_double/internal/crossing.hpp), not the double's time. Construct before the timed
// loop, report after it.

#include <engine_double/crossings.hpp>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

class CrossingCounters {
	engine_double::CrossingReader _reader;
	bool _direct;

public:
	// p_direct: the benchmark calls the plug-in's functions itself rather than through the
	// engine, so its own crossings are the plug-in's.
	explicit CrossingCounters(bool p_direct = false) :
	        _direct(p_direct) {}

	void report(benchmark::State &p_state, double p_units_per_iteration) const {
		const double units = double(p_state.iterations()) * p_units_per_iteration;
		if (units <= 0.0) {
			return;
		}
		const uint64_t own = _direct ? _reader.caller() + _reader.plugin() : _reader.plugin();
		const uint64_t own_ns = _direct ? _reader.caller_ns() + _reader.plugin_ns() : _reader.plugin_ns();
		p_state.counters["crossings/unit"] = double(own) / units;
		p_state.counters["script_crossings/unit"] = double(_reader.script()) / units;
		p_state.counters["own_ns/unit"] = double(own_ns) / units;
		p_state.counters["script_ns/unit"] = double(_reader.script_ns()) / units;
	}
};

// Modelled engine nanoseconds of one run of some work, by side.
struct ModelledNs {
	double caller = 0;
	double own = 0;
	double script = 0;
	uint64_t kinds[size_t(engine_double::internal::Cost::COUNT)] = {};
	// The plug-in's own share of them.
	uint64_t own_kinds[size_t(engine_double::internal::Cost::COUNT)] = {};

	double method() const { return own + script; }
	double script_share() const { return method() > 0 ? script / method() : 0.0; }
};

template <typename Work>
ModelledNs modelled_ns(Work p_work) {
	const engine_double::CrossingReader reader;
	p_work();
	ModelledNs result;
	result.caller = double(reader.caller_ns());
	result.own = double(reader.plugin_ns());
	result.script = double(reader.script_ns());
	for (size_t kind = 0; kind < size_t(engine_double::internal::Cost::COUNT); kind++) {
		result.kinds[kind] = reader.operations(engine_double::internal::Cost(kind));
		result.own_kinds[kind] = reader.operations(engine_double::internal::CROSSING_PLUGIN, engine_double::internal::Cost(kind));
	}
	return result;
}

// Work a benchmark made itself, priced as if the plug-in had made it and kept its blocks.
inline double at_plugin_prices(const ModelledNs &p_made) {
	uint64_t allocations = 0;
	for (size_t kind = 0; kind < size_t(engine_double::internal::Cost::COUNT); kind++) {
		allocations += p_made.kinds[kind] * engine_double::internal::COST_TABLE[kind].allocations;
	}
	return p_made.caller + double(allocations) * double(engine_double::internal::cost_ns(engine_double::internal::Cost::HELD_ALLOCATION));
}

// The kinds of operation that carry most of the modelled time of p_counts (operations by
// kind, or the difference of two such counts), per unit; a difference is printed signed.
inline void print_top_kinds(const double (&p_counts)[size_t(engine_double::internal::Cost::COUNT)], double p_units, size_t p_top, bool p_difference) {
	using engine_double::internal::COST_TABLE;
	std::vector<std::pair<double, size_t>> by_ns;
	double total = 0;
	for (size_t kind = 0; kind < size_t(engine_double::internal::Cost::COUNT); kind++) {
		const double ns = p_counts[kind] * COST_TABLE[kind].ns;
		total += ns;
		if (p_difference ? p_counts[kind] != 0 : ns > 0) {
			by_ns.emplace_back(ns, kind);
		}
	}
	std::sort(by_ns.rbegin(), by_ns.rend());
	for (size_t i = 0; i < by_ns.size() && i < p_top; i++) {
		const size_t kind = by_ns[i].second;
		if (p_difference) {
			std::printf("    %-26s %+8.1f operations %+9.0f ns\n", COST_TABLE[kind].name, p_counts[kind] / p_units, by_ns[i].first / p_units);
		} else {
			std::printf("    %-26s %8.1f operations %9.0f ns (%4.1f %%)\n", COST_TABLE[kind].name, p_counts[kind] / p_units, by_ns[i].first / p_units, 100.0 * by_ns[i].first / total);
		}
	}
}

inline void print_kind_breakdown(const uint64_t (&p_kinds)[size_t(engine_double::internal::Cost::COUNT)], double p_units, size_t p_top) {
	double counts[size_t(engine_double::internal::Cost::COUNT)];
	for (size_t kind = 0; kind < size_t(engine_double::internal::Cost::COUNT); kind++) {
		counts[kind] = double(p_kinds[kind]);
	}
	print_top_kinds(counts, p_units, p_top, false);
}

// Per operation kind, what p_more did beyond p_less, per unit: where a difference goes.
inline void print_kind_difference(const ModelledNs &p_more, const ModelledNs &p_less, double p_units, size_t p_top) {
	double counts[size_t(engine_double::internal::Cost::COUNT)];
	for (size_t kind = 0; kind < size_t(engine_double::internal::Cost::COUNT); kind++) {
		counts[kind] = double(p_more.kinds[kind]) - double(p_less.kinds[kind]);
	}
	print_top_kinds(counts, p_units, p_top, true);
}

// The same, all sides together.
inline void print_cost_breakdown(const ModelledNs &p_ns, double p_units, size_t p_top) {
	print_kind_breakdown(p_ns.kinds, p_units, p_top);
}

// The model's ratio of a method to the engine work it cannot avoid, next to the real
// engine's ratio; true when it lies within p_band (a fraction) of it.
inline bool report_model_ratio(const char *p_what, double p_method_ns, double p_floor_ns, double p_engine_ratio, double p_band) {
	const double ratio = p_floor_ns > 0 ? p_method_ns / p_floor_ns : 0.0;
	const bool inside = std::fabs(ratio - p_engine_ratio) <= p_band * p_engine_ratio;
	std::printf("cost model, %s: method %.0f ns / floor %.0f ns = %.2f (engine %.2f, band +-%.0f %%): %s\n", p_what, p_method_ns, p_floor_ns, ratio, p_engine_ratio, p_band * 100.0, inside ? "inside" : "OUTSIDE");
	return inside;
}

// Removes p_flag from the command line; true when it was there. "--model_check" makes a
// benchmark check its cost model's ratios and exit without timing anything.
inline bool take_flag(int &r_argc, char **p_argv, const char *p_flag) {
	for (int i = 1; i < r_argc; i++) {
		if (std::string(p_argv[i]) == p_flag) {
			for (int j = i; j + 1 < r_argc; j++) {
				p_argv[j] = p_argv[j + 1];
			}
			r_argc--;
			return true;
		}
	}
	return false;
}
