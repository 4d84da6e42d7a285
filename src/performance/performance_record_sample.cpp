#include "performance/performance_record_sample.hpp"

#include "common/answers.hpp"
#include "performance/budget_state.hpp"
#include "performance/performance_names.hpp"
#include "performance/performance_report.hpp"
#include "performance/sample_statistics.hpp"
#include "performance/sorted_window.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstring>
#include <optional>

using namespace godot;

namespace veltrin {

namespace {

bool same_bytes(const PackedByteArray &p_a, const PackedByteArray &p_b) {
	const int64_t size = p_a.size();
	if (size != p_b.size()) {
		return false;
	}
	return size == 0 || std::memcmp(p_a.ptr(), p_b.ptr(), static_cast<size_t>(size)) == 0;
}

// The stored sorted copy is trusted only while the snapshot taken when it last matched the
// window equals the window's bytes now; other code may have changed the window since.
// r_in_step receives the copy when it may be used; false is returned for a copy that claims
// to be in step but cannot be (wrong type, size or typing, read-only, or the window array
// itself).
bool find_sorted_copy(const BudgetState &p_state, const StringName &p_metric_id, const PackedByteArray &p_snapshot, std::optional<Array> &r_in_step) {
	if (!p_state.existed || !p_state.ordered_samples.has(p_metric_id)) {
		return true;
	}
	const Variant stored_bytes = p_state.ordered_sample_bytes.get(p_metric_id, Variant());
	if (stored_bytes.get_type() != Variant::PACKED_BYTE_ARRAY || !same_bytes(stored_bytes, p_snapshot)) {
		return true;
	}
	const Variant stored = p_state.ordered_samples.get(p_metric_id, Variant());
	if (stored.get_type() != Variant::ARRAY) {
		return false;
	}
	const Array sorted = stored;
	if (sorted.is_read_only() || !sorted.is_typed() || sorted.get_typed_builtin() != Variant::INT || sorted.size() != p_state.window.size()) {
		return false;
	}
	if (UtilityFunctions::is_same(stored, Variant(p_state.window))) {
		return false;
	}
	r_in_step = sorted;
	return true;
}

} // namespace

Dictionary performance_record_sample_impl(Object *p_owner, const StringName &p_metric_id, int64_t p_duration_us) {
	const PerformanceNames names;
	std::optional<BudgetState> read = read_budget_state(names, p_owner, p_metric_id, p_duration_us);
	if (!read) {
		return declined_answer();
	}
	BudgetState &state = *read;
	Array &window = state.window;

	std::optional<Array> in_step;
	if (!find_sorted_copy(state, p_metric_id, state.window_bytes, in_step)) {
		return declined_answer();
	}

	// Every check is behind us: from here on the budget is written.
	Array sorted = in_step ? *in_step : sorted_copy_of(window);
	if (!in_step) {
		if (!state.existed) {
			state.samples.set(p_metric_id, window);
		}
		state.ordered_samples.set(p_metric_id, sorted);
	}

	window.push_back(p_duration_us);
	// At most one sample leaves per call, so a window left larger than the capacity shrinks
	// no further.
	if (window.size() <= state.capacity) {
		sorted_insert(sorted, p_duration_us);
	} else {
		const int64_t oldest = window.pop_front();
		if (!sorted_replace(sorted, oldest, p_duration_us)) {
			// The copy was edited behind our back; a blind removal would corrupt every later
			// percentile, so start again from the window.
			sorted = sorted_copy_of(window);
			state.ordered_samples.set(p_metric_id, sorted);
		}
	}

	const PackedByteArray bytes = UtilityFunctions::var_to_bytes(window);
	state.ordered_sample_bytes.set(p_metric_id, bytes);
	state.integer_window_bytes.set(p_metric_id, bytes);

	const int64_t new_total = wrapping_add(state.total, p_duration_us);
	const int64_t new_count = wrapping_add(state.count, 1);
	state.totals.set(p_metric_id, new_total);
	state.sample_counts.set(p_metric_id, new_count);

	PerformanceReport report;
	report.window_sample_count = window.size();
	report.lifetime_sample_count = new_count;
	report.average_us = lifetime_average(new_total, state.count);
	report.p95_us = sorted_p95(sorted);
	report.maximum_us = sorted_maximum(sorted);
	report.aggregation = state.aggregation;
	report.measured_us = measured_value(state.aggregation, report.average_us, report.maximum_us, report.p95_us);
	report.limit_us = state.limit;
	report.budget_exceeded = budget_exceeded(state.limit, report.measured_us);
	return recorded_answer(names, p_metric_id, report);
}

} // namespace veltrin
