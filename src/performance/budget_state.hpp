#pragma once

// Reads a performance budget's state for one metric and checks its whole shape, before the
// recorder writes anything: a budget that fails any check is left untouched.

#include "performance/performance_names.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_byte_array.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>
#include <optional>

namespace veltrin {

// The budget's containers (shared with the script object) and one metric's values in them.
// Built only from values read: a default-constructed engine container would allocate.
struct BudgetState {
	godot::Dictionary samples;
	godot::Dictionary ordered_samples;
	godot::Dictionary ordered_sample_bytes;
	godot::Dictionary integer_window_bytes;
	godot::Dictionary totals;
	godot::Dictionary sample_counts;
	godot::Dictionary budgets;
	int64_t capacity = 0;

	// Whether _samples already held the metric; otherwise window is a new empty array.
	bool existed = false;
	// The metric's arrival-order window: ints only, writable, untyped or typed int.
	godot::Array window;
	// Its var_to_bytes as read.
	godot::PackedByteArray window_bytes;
	int64_t total = 0;
	int64_t count = 0;
	int64_t aggregation = 1;
	int64_t limit = 0;
};

// True when p_owner is the game's performance budget script.
bool is_performance_budget(const PerformanceNames &p_names, godot::Object *p_owner);

// The budget's state when the budget, the metric and the sample are of the shape the recorder
// handles; nothing otherwise. Reads only.
std::optional<BudgetState> read_budget_state(const PerformanceNames &p_names, godot::Object *p_owner, const godot::StringName &p_metric_id, int64_t p_duration_us);

} // namespace veltrin
