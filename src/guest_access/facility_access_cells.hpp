#pragma once

#include "common/live_object.hpp"
#include "guest_access/projection_names.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <vector>

namespace veltrin {

// The passable cells from which a guest uses a facility: the x-neighbours of its occupied
// cells (of its origin when it occupies none) and the origin itself. Sorted by z, then y,
// then x, each cell once. Empty without a path service or a facility.
// Throws ObjectGone when the facility's script frees the facility between its reads.
godot::Array facility_access_cells(const ProjectionNames &p_names, const LiveObject &p_path_service, const LiveObject &p_facility);

// The same cells appended to r_cells (a list gathering many facilities' cells).
void append_facility_access_cells(const ProjectionNames &p_names, const LiveObject &p_path_service, const LiveObject &p_facility, godot::Array &r_cells);

// Cells held by the plug-in alone, each the Variant it was looked up by: no engine list is
// made for a facility's own search, and nothing a script runs can change them.
using AccessCells = std::vector<godot::Variant>;

// The same cells into r_cells, replacing what it held.
void gather_facility_access_cells(const ProjectionNames &p_names, const LiveObject &p_path_service, const LiveObject &p_facility, AccessCells &r_cells);

} // namespace veltrin
