#pragma once

#include "guest_choice/guest_batch_names.hpp"
#include "guest_choice/guest_candidate_supported.hpp"

#include <godot_cpp/variant/dictionary.hpp>

#include <cstdint>

namespace veltrin {

// The price in gold of a candidate that passed guest_candidate_supported:
// estimated_total_gold, else price_gold, else quoted_price,
// else 0; never below 0.
int64_t guest_price(const GuestBatchNames &p_names, const godot::Dictionary &p_candidate);
int64_t guest_price(const GuestBatchNames &p_names, const GuestRowFacts &p_candidate);

// Whether buying at the candidate is discretionary: flagged so, or of a leisure-like
// service category, or tagged with a leisure-like facility tag.
bool guest_discretionary(const GuestBatchNames &p_names, const godot::Dictionary &p_candidate);
bool guest_discretionary(const GuestBatchNames &p_names, const GuestRowFacts &p_candidate);

// The first present of facility_tags and tags, else nil (an empty name list).
const godot::Variant &guest_facility_tags(const GuestBatchNames &p_names, const GuestRowFacts &p_candidate);

} // namespace veltrin
