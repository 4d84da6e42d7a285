#pragma once

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>

namespace veltrin {

// One candidate under evaluation, owned by the batch call.
struct GuestBatchRow {
	// The row's own deep copy of the candidate, keyed by the resolved id; replaced by the
	// evaluated copy once the row is scored.
	godot::Dictionary candidate;
	// need_relief normalised to need name -> percent; empty for a flat or absent relief.
	godot::Dictionary relief_map;
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

// By facility text, in code point order (StringName order would be by pointer).
struct GuestBatchFacilityOrder {
	bool operator()(const GuestBatchRow &p_a, const GuestBatchRow &p_b) const {
		return p_a.facility_text < p_b.facility_text;
	}
};

// Most pressing need first, then the better utility, the greater urgency, the shorter
// trip, and the facility text.
struct GuestBatchRankOrder {
	bool operator()(const GuestBatchRow &p_a, const GuestBatchRow &p_b) const {
		if (p_a.need_priority != p_b.need_priority) {
			return p_a.need_priority > p_b.need_priority;
		}
		if (p_a.utility != p_b.utility) {
			return p_a.utility > p_b.utility;
		}
		if (p_a.urgency != p_b.urgency) {
			return p_a.urgency > p_b.urgency;
		}
		if (p_a.travel_minutes != p_b.travel_minutes) {
			return p_a.travel_minutes < p_b.travel_minutes;
		}
		return p_a.facility_text < p_b.facility_text;
	}
};

} // namespace veltrin
