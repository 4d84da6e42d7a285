#include "guest_access/guest_route_resolve.hpp"

#include "common/dictionary_reads.hpp"

#include "guest_access/guest_cells.hpp"
#include "guest_access/guest_route_copy.hpp"
#include "guest_access/path_cache_key.hpp"
#include "guest_access/query_tree_cost.hpp"
#include "native/edge.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/string.hpp>

#include <optional>

namespace veltrin {

namespace {

godot::TypedArray<godot::Vector3i> route_failure(const ProjectionNames &p_names, const LiveObject &p_path, const godot::Variant &p_reason) {
	return script_route(p_path->call(p_names._route_failure, p_reason));
}

// Whether p_batch is a dictionary whose targets hold p_goal_key. Anything else holds no
// targets, as the empty dictionary it would convert to; the type first, as an object's keyed
// read would run its script.
bool batch_targets_hold(const AccessKeys &p_keys, const godot::Variant &p_batch, const godot::Variant &p_goal_key) {
	if (p_batch.get_type() != godot::Variant::DICTIONARY) {
		return false;
	}
	bool valid = false;
	const godot::Variant targets = p_batch.get_keyed(p_keys.targets, valid);
	return valid && dictionary_has(targets, p_goal_key);
}

} // namespace

godot::TypedArray<godot::Vector3i> script_route(const godot::Variant &p_answer) {
	return godot::TypedArray<godot::Vector3i>(p_answer);
}

godot::TypedArray<godot::Vector3i> resolve_ready_guest_point(const AccessQuery &p_query, const godot::Vector3i &p_goal, const godot::Variant &p_goal_key, const godot::Dictionary &p_tree, const godot::Variant &p_tree_arg, bool &r_unkept) {
	const ProjectionNames &names = p_query.names;
	const AccessKeys &keys = p_query.keys;
	const LiveObject &path = p_query.path;
	const godot::Vector3i &start = p_query.start;
	const godot::Variant passable = path->get(names._passable_cells);
	if (!dictionary_has(passable, p_query.start_key)) {
		return route_failure(names, path, names.START_NOT_PASSABLE);
	}
	// A dictionary, as the start's test found: only the key is left to test.
	if (!passable.has_key(p_goal_key)) {
		return route_failure(names, path, names.GOAL_NOT_PASSABLE);
	}
	// A goal on the start's layer passes with the start.
	if (!layer_permitted(p_query.layers, p_query.start_layer) || (p_goal.z != start.z && !layer_permitted(p_query.layers, p_goal))) {
		return route_failure(names, path, names.ACCESS_LAYER_DENIED);
	}
	if (blocked(names, keys, path.get(), p_query.start_key)) {
		return route_failure(names, path, names.START_TEMPORARILY_BLOCKED);
	}
	if (blocked(names, keys, path.get(), p_goal_key)) {
		return route_failure(names, path, names.GOAL_TEMPORARILY_BLOCKED);
	}

	std::optional<godot::Variant> built_key;
	const godot::Variant &key = cache_key_variant(names, path.get(), start, p_goal, p_query.layers, p_query.access, p_query.key_texts, built_key);
	godot::Dictionary path_cache = path->get(names._path_cache);
	// Kept as read: only its targets are looked up.
	const godot::Variant batch = path->get(names._query_batch);
	if (path_cache.has(key) || !batch_targets_hold(keys, batch, p_goal_key)) {
		// Not this batch's question: the service answers it its own way.
		return script_route(path->call(names._find_path_internal, start, p_goal));
	}
	// A cache that refuses the route would have the answer claim a route it never recorded.
	if (path_cache.is_read_only()) {
		r_unkept = true;
		return keys.no_route;
	}

	// Script integers wrap; so does the counter.
	const int64_t misses = path->get(names.cache_misses);
	path->set(names.cache_misses, veltrin_native::signed_add(misses, 1));

	if (start.z != p_goal.z && !static_cast<bool>(path.call_held(names._guest_batch_has_permitted_layer_crossing, p_query.start_key, p_goal_key, p_query.layers_arg, p_query.access_arg))) {
		return route_failure(names, path, names.GOAL_UNREACHABLE);
	}

	// Only a route of one cell is added to; the others start from the shared empty one.
	godot::TypedArray<godot::Vector3i> route = start == p_goal ? godot::TypedArray<godot::Vector3i>() : keys.no_route;
	if (start == p_goal) {
		route.push_back(start);
	} else {
		if (dictionary_has(entry_or(p_tree, keys.settled, keys.nil), p_goal_key)) {
			// Assignment, not conversion: an answer that is not already typed Vector3i is
			// refused with the engine's error and leaves the route empty.
			const godot::Array answer = path.call_held(names._guest_tree_reconstruct_path, p_tree_arg, p_goal_key);
			route = answer;
		}
	}
	if (route.is_empty()) {
		const godot::Variant reason = path->call(names._diagnose_no_route_reason, start, p_goal, p_query.layers, p_query.access);
		return route_failure(names, path, reason);
	}

	const godot::Variant cached = cached_guest_route(names, path.get(), route);
	// The scripts called since may have made it read-only.
	if (path_cache.is_read_only()) {
		r_unkept = true;
		return keys.no_route;
	}
	path_cache.set(key, cached);
	path->set(names.last_no_route_reason, keys.OK);
	path->set(names.last_path_cost, tree_cost(keys, p_tree, p_goal_key));
	path->set(names.last_error, keys.empty_text);
	return route;
}

} // namespace veltrin
