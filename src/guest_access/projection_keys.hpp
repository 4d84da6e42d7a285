#pragma once

#include "guest_access/access_keys.hpp"
#include "guest_access/projection_names.hpp"
#include "guest_access/tag_relief.hpp"

#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

// The names a projection writes into its rows and reads from the access answers, as
// dictionary keys built once per call (a key converted per access costs two more calls into
// the engine), and the keys of its access searches. Each member is named after its text.
struct ProjectionKeys {
	AccessKeys search;
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
	godot::Variant path_handle;
	godot::Variant risk_level;
	godot::Variant service_category;
	godot::Variant travel_minutes;
	// Tags looked up in a definition's tag array.
	godot::Variant entrance;
	godot::Variant staff_only;
	// The level every row gives risk and illegality.
	godot::Variant zero;
	// INFRASTRUCTURE_CONNECTOR_PREFIX, for every route's travel minutes.
	godot::String infrastructure_prefix;
	ReliefKeys relief;

	explicit ProjectionKeys(const ProjectionNames &p_names);
	ProjectionKeys(const ProjectionKeys &) = delete;
	ProjectionKeys &operator=(const ProjectionKeys &) = delete;
};

} // namespace veltrin
