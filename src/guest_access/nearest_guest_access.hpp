#pragma once

#include "common/live_object.hpp"
#include "guest_access/access_keys.hpp"
#include "guest_access/facility_access_cells.hpp"
#include "guest_access/guest_route_resolve.hpp"
#include "guest_access/projection_names.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>

namespace veltrin {

// The answer of a search that covered the facility's goals: whether one was reached, its
// route (empty when none) and the goal chosen (the fallback target when none). A search that
// does not cover them answers supported false and nothing else.
struct AccessAnswer {
	bool supported = false;
	bool reachable = false;
	godot::TypedArray<godot::Vector3i> route;
	godot::Vector3i target_cell;
};

// An answer of supported false, its route the keys' shared empty one.
AccessAnswer unsupported_access(const AccessKeys &p_keys);

// nearest_guest_access: the cheapest settled access cell of a facility, from the path
// service's query tree, with its route stored in the service's path cache.
godot::Dictionary nearest_guest_access_impl(godot::Object *p_path, const godot::Vector3i &p_start, const godot::Array &p_goals, const godot::Vector3i &p_fallback_target, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, const godot::Callable &p_ticks);

// The same search with the caller's name and key tables, for callers that already built them.
// Answers {"supported": false} for anything it cannot answer completely; otherwise
// {"supported": true, "reachable", "path", "target_cell"}.
godot::Dictionary nearest_guest_access_impl(const ProjectionNames &p_names, const AccessKeys &p_keys, const LiveObject &p_path, const godot::Vector3i &p_start, const godot::Array &p_goals, const godot::Vector3i &p_fallback_target, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, const godot::Callable &p_ticks);

// The same search for a caller that has already found p_path to be the game's own path
// service in this call, which spares testing its script again; its answer stays a plain
// record, read by the caller without a dictionary in between. The query's Variants are made
// once for all the caller's searches; the goals are the caller's own, which no script holds.
AccessAnswer nearest_guest_access_on_builtin_path(const AccessQuery &p_query, const AccessCells &p_goals, const godot::Vector3i &p_fallback_target, const godot::Callable &p_ticks);

} // namespace veltrin
