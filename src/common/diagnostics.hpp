#pragma once

// Per-thread phase counters of the heavy bound methods: how often each phase was entered
// and how long it took in total, on the steady clock. Compiled only in the full configuration.

#ifdef VELTRIN_DIAGNOSTICS

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <chrono>
#include <cstdint>

namespace veltrin {

enum DiagnosticPhase : int {
	PHASE_PROJECTION_TOTAL,
	PHASE_PROJECTION_GUARD_PREFLIGHT,
	PHASE_GOAL_BATCH_PREPARE,
	PHASE_FACILITY_INPUT_FILTER,
	PHASE_FACILITY_ACCESS_CELLS,
	PHASE_NEAREST_TOTAL,
	PHASE_ROW_PREPARE,
	PHASE_TRAVEL_MINUTES,
	PHASE_BATCH_END,
	PHASE_QUERY_TREE_BUILD,
	PHASE_ROUTE_RESOLVE,
	PHASE_NUMERIC_SEARCH_TOTAL,
	PHASE_COUNT,
};

// Counters are unsigned so that a wrap after 2^64 events is defined; they are reported
// as the engine's signed int.
struct DiagnosticCounter {
	uint64_t calls = 0;
	uint64_t nanoseconds = 0;
};

struct DiagnosticValues {
	DiagnosticCounter phases[PHASE_COUNT];
};

// The calling thread's counters. They belong to the registered class (one set per thread,
// shared by its instances), which defines this accessor; the phases only count into them.
DiagnosticValues &current_thread_diagnostics();

void diagnostic_values_reset(DiagnosticValues &r_values);
godot::Dictionary diagnostic_values_snapshot(const DiagnosticValues &p_values);

// Counts one entry of a phase and adds its duration when the scope ends, on every path
// out of it, exceptions included.
class ScopedPhase {
	DiagnosticCounter &counter;
	std::chrono::steady_clock::time_point start;

public:
	explicit ScopedPhase(DiagnosticPhase p_phase);
	~ScopedPhase();
	ScopedPhase(const ScopedPhase &) = delete;
	ScopedPhase &operator=(const ScopedPhase &) = delete;
};

} // namespace veltrin

#define VELTRIN_PHASE_CONCAT_INNER(a, b) a##b
#define VELTRIN_PHASE_CONCAT(a, b) VELTRIN_PHASE_CONCAT_INNER(a, b)
#define VELTRIN_PHASE(m_phase) ::veltrin::ScopedPhase VELTRIN_PHASE_CONCAT(veltrin_phase_, __LINE__)(::veltrin::m_phase)

#else

#define VELTRIN_PHASE(m_phase) ((void)0)

#endif
