#pragma once

#include "guest_choice/guest_batch_names.hpp"

#include <godot_cpp/variant/dictionary.hpp>

#include <cstdint>

namespace veltrin {

constexpr int64_t GUEST_DEFAULT_WAIT_HARD_LIMIT = 120;

// The batch context, checked and read once for the whole call.
struct GuestBatchContext {
	bool has_absolute_minute = false;
	int64_t absolute_minute = 0;
	// Hard wait limit of candidates that have none of their own.
	int64_t wait_hard_limit = GUEST_DEFAULT_WAIT_HARD_LIMIT;
	bool adult_content_enabled = true;
};

// Reads the context into r_context. False when a key is not one of the five context names
// (as a String or StringName) or a value has a type the batch does not handle.
bool guest_batch_context_read(const GuestBatchNames &p_names, const godot::Dictionary &p_context, GuestBatchContext &r_context);

} // namespace veltrin
