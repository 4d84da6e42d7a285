#pragma once

#include "common/wide_integer.hpp"
#include "guest_choice/guest_batch_names.hpp"
#include "guest_choice/guest_batch_row.hpp"
#include "guest_choice/guest_need_map.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>
#include <vector>

namespace veltrin {

// The guest's side of the utility, gathered by the batch.
struct GuestUtilityInputs {
	// The guest's level of each need, in guest_need_keys order.
	const int64_t *need_levels = nullptr;
	godot::Dictionary preference_weights;
	// False when no tag can be found among the weights' keys.
	bool weights_by_name = true;
	// The guest's visited facility ids, as names.
	const std::vector<godot::StringName> *visited = nullptr;
	int64_t wallet = 0;
	WideInt credit_available = 0;
	int64_t risk_tolerance = 0;
};

// Scores an accepted row: replaces its candidate with the evaluated copy (the candidate
// plus need_priority, utility, urgency, travel_minutes and utility_terms) and sets its
// rank keys. The earlier copy is left unchanged.
void guest_evaluate(const GuestBatchNames &p_names, GuestBatchRow &r_row, const GuestUtilityInputs &p_inputs);

} // namespace veltrin
