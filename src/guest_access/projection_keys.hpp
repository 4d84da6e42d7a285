#pragma once

#include "guest_access/projection_names.hpp"

#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

// The names a projection writes into its rows and reads from the access answers, as
// dictionary keys built once per call (a key converted per access costs two more calls into
// the engine), and the defaults of those reads. Each member is named after its text.
struct ProjectionKeys {
	godot::Variant nil;
	godot::Variant no;
	godot::Variant estimated_total_gold;
	godot::Variant expected_quality;
	godot::Variant expected_wait;
	godot::Variant facility_id;
	godot::Variant facility_tags;
	godot::Variant graph_revision;
	godot::Variant group_fit;
	godot::Variant illegal_level;
	godot::Variant inputs_available;
	godot::Variant is_open;
	godot::Variant need_relief;
	godot::Variant path;
	godot::Variant path_handle;
	godot::Variant reachable;
	godot::Variant risk_level;
	godot::Variant service_category;
	godot::Variant supported;
	godot::Variant target_cell;
	godot::Variant travel_minutes;

	explicit ProjectionKeys(const ProjectionNames &p_names);
	ProjectionKeys(const ProjectionKeys &) = delete;
	ProjectionKeys &operator=(const ProjectionKeys &) = delete;
};

} // namespace veltrin
