#pragma once

// One facility's part of a projection: the filter by tags and inventory inputs, and the
// candidate row the guest's choice reads.

#include "guest_access/nearest_guest_access.hpp"
#include "guest_access/projection_run.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>

#include <optional>

namespace veltrin {

enum class FacilityFilter {
	PASS_OVER, // no row: unknown kind, staff only, or an entrance the guest already passed
	SHORT_ROW, // an inventory input is short
	FULL_ROW,
};

// Reads the facility's definition and inputs; on SHORT_ROW and FULL_ROW r_tags holds the
// definition's tags.
FacilityFilter filter_facility(const ProjectionRun &p_run, const LiveObject &p_instance, std::optional<godot::Array> &r_tags);

// {"facility_id", "inputs_available": false}.
godot::Dictionary short_candidate_row(const ProjectionRun &p_run, const LiveObject &p_instance);

// The access search's answer for one row: the native search's record or, when it did not
// cover the facility, the runtime's dictionary ("path", "reachable", "target_cell", each
// possibly absent), whose fields are read only when the row needs each, as the script does.
struct RowAccess {
	AccessAnswer native;
	std::optional<godot::Dictionary> script;
};

// Every field of the row, from the facility, its tags and the access search's answer.
godot::Dictionary full_candidate_row(const ProjectionRun &p_run, const LiveObject &p_instance, const godot::Array &p_tags, const RowAccess &p_access);

} // namespace veltrin
