#pragma once

#include "guest_choice/guest_candidate_supported.hpp"
#include "guest_choice/guest_need_map.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace veltrin {

// One candidate under evaluation, owned by the batch call.
struct GuestBatchRow {
	// The row's own deep copy of the candidate, keyed by the resolved id; replaced by the
	// evaluated copy once the row is scored.
	godot::Dictionary candidate;
	// Where the candidate's values sit, recorded when the batch checked it: every later read
	// of the row goes through these (the copy holds the same values).
	GuestRowFacts facts;
	// need_relief's percent for each need (guest_need_keys order); all 0 for a flat or
	// absent relief.
	int64_t relief_percent[GUEST_NEED_COUNT] = {};
	godot::StringName facility_id;
	// The id as text: the sort key of both orders and the id of a rejected entry.
	godot::String facility_text;
	bool need_maps_valid = true;
	// Rank keys, set when the row is scored.
	int64_t need_priority = 0;
	int64_t utility = 0;
	int64_t urgency = 0;
	int64_t travel_minutes = 0;
};

// The rows of a batch with their ids' text as plain code points, so that sorting compares
// in C++ instead of calling into the engine for every comparison. Both orders sort indices
// into the rows.
struct GuestBatchRows {
	std::vector<GuestBatchRow> rows;
	std::vector<std::u32string> texts;
};

// By facility text, in code point order (StringName order would be by pointer).
struct GuestBatchFacilityOrder {
	const GuestBatchRows *batch = nullptr;

	bool operator()(uint32_t p_a, uint32_t p_b) const {
		return batch->texts[p_a] < batch->texts[p_b];
	}
};

// Most pressing need first, then the better utility, the greater urgency, the shorter
// trip, and the facility text.
struct GuestBatchRankOrder {
	const GuestBatchRows *batch = nullptr;

	bool operator()(uint32_t p_a, uint32_t p_b) const {
		const GuestBatchRow &a = batch->rows[p_a];
		const GuestBatchRow &b = batch->rows[p_b];
		if (a.need_priority != b.need_priority) {
			return a.need_priority > b.need_priority;
		}
		if (a.utility != b.utility) {
			return a.utility > b.utility;
		}
		if (a.urgency != b.urgency) {
			return a.urgency > b.urgency;
		}
		if (a.travel_minutes != b.travel_minutes) {
			return a.travel_minutes < b.travel_minutes;
		}
		return batch->texts[p_a] < batch->texts[p_b];
	}
};

} // namespace veltrin
