#include "common/diagnostics.hpp"

#ifdef VELTRIN_DIAGNOSTICS

#include <godot_cpp/variant/string_name.hpp>

namespace veltrin {

namespace {

const char *const PHASE_LABELS[PHASE_COUNT] = {
	"projection_total",
	"projection_guard_preflight",
	"goal_batch_prepare",
	"facility_input_filter",
	"facility_access_cells",
	"nearest_total",
	"row_prepare",
	"travel_minutes",
	"batch_end",
	"query_tree_build",
	"route_resolve",
	"numeric_search_total",
};

} // namespace

void diagnostic_values_reset(DiagnosticValues &r_values) {
	for (DiagnosticCounter &counter : r_values.phases) {
		counter = DiagnosticCounter();
	}
}

godot::Dictionary diagnostic_values_snapshot(const DiagnosticValues &p_values) {
	const godot::StringName calls_key("calls");
	const godot::StringName nanoseconds_key("nanoseconds");
	godot::Dictionary snapshot;
	for (int phase = 0; phase < PHASE_COUNT; phase++) {
		godot::Dictionary entry;
		entry[calls_key] = static_cast<int64_t>(p_values.phases[phase].calls);
		entry[nanoseconds_key] = static_cast<int64_t>(p_values.phases[phase].nanoseconds);
		snapshot[godot::StringName(PHASE_LABELS[phase])] = entry;
	}
	return snapshot;
}

ScopedPhase::ScopedPhase(DiagnosticPhase p_phase) :
        counter(current_thread_diagnostics().phases[p_phase]) {
	counter.calls++;
	start = std::chrono::steady_clock::now();
}

ScopedPhase::~ScopedPhase() {
	const auto elapsed = std::chrono::steady_clock::now() - start;
	counter.nanoseconds += static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count());
}

} // namespace veltrin

#endif
