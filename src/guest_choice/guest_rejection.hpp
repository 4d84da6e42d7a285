#pragma once

#include "common/wide_integer.hpp"
#include "guest_choice/guest_batch_context.hpp"
#include "guest_choice/guest_batch_names.hpp"
#include "guest_choice/guest_batch_row.hpp"

#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>
#include <vector>

namespace veltrin {

// The guest's side of the rules, gathered by the batch.
struct GuestRuleInputs {
	const GuestBatchContext *context = nullptr;
	godot::StringName type_id;
	// The guest definition's tags, as names.
	const std::vector<godot::StringName> *guest_tags = nullptr;
	bool adult_verified = false;
	int64_t planned_exit = 0;
	int64_t now = 0;
	int64_t wallet = 0;
	WideInt credit_available = 0;
	int64_t reserve = 0;
	int64_t risk_tolerance = 0;
	int64_t legal_sensitivity = 0;
	int64_t minimum_quality = 0;
};

// The reason the guest may not use the row's facility: the key of the first rule that
// refuses it, or the empty key when none does. Reads the row's candidate copy only.
const GuestBatchKey &guest_rejection(const GuestBatchNames &p_names, const GuestBatchRow &p_row, const GuestRuleInputs &p_inputs);

} // namespace veltrin
