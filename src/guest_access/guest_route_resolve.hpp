#pragma once

// Resolution of one guest route against the current query batch's tree, recording the
// outcome in the path service as its own scripted query would: the cached route, the cache
// miss count and the last-query fields.

#include "common/live_object.hpp"
#include "guest_access/access_keys.hpp"
#include "guest_access/path_cache_key.hpp"
#include "guest_access/projection_names.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>

namespace veltrin {

// One access query's fixed inputs, shared by its steps. start_key is start as a Variant,
// the key of every lookup of the start cell.
struct AccessQuery {
	const ProjectionNames &names;
	const AccessKeys &keys;
	const LiveObject &path;
	const godot::Vector3i &start;
	const godot::Variant &start_key;
	// The start's layer number, the key of its layer test.
	const godot::Variant &start_layer;
	const godot::TypedArray<int64_t> &layers;
	const godot::TypedArray<godot::StringName> &access;
	// The two lists as the Variants every script call of the query is handed.
	const godot::Variant &layers_arg;
	const godot::Variant &access_arg;
	// The route keys made so far in the call.
	CacheKeyTexts &key_texts;
};

// The route from the query's start to p_goal (p_goal_key: the goal as a Variant); empty
// when there is none. Failures go through the service's _route_failure, whose answer is
// returned. p_tree_arg is p_tree as the Variant the service's reconstruction is handed, made
// once for all the query's resolutions. r_unkept is set (and an empty route returned) when
// the route cannot be kept because the service's _path_cache is read-only; nothing is
// written then.
godot::TypedArray<godot::Vector3i> resolve_ready_guest_point(const AccessQuery &p_query, const godot::Vector3i &p_goal, const godot::Variant &p_goal_key, const godot::Dictionary &p_tree, const godot::Variant &p_tree_arg, bool &r_unkept);

// A route answered by a script method, converted element by element into a typed array
// unless it already is one (then it is shared).
godot::TypedArray<godot::Vector3i> script_route(const godot::Variant &p_answer);

} // namespace veltrin
