#pragma once

// Engine crossings per unit of work next to the time: "crossings/unit" are the plug-in's
// own, "script_crossings/unit" those made inside the script methods it called (in the game
// those run inside the engine). Construct before the timed loop, report after it.

#include <engine_double/crossings.hpp>

#include <benchmark/benchmark.h>

#include <cstdint>

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
		p_state.counters["crossings/unit"] = double(own) / units;
		p_state.counters["script_crossings/unit"] = double(_reader.script()) / units;
	}
};
