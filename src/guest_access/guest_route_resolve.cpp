#include "guest_access/guest_route_resolve.hpp"

#include "guest_access/guest_cells.hpp"
#include "guest_access/guest_route_copy.hpp"
#include "guest_access/path_cache_key.hpp"
#include "guest_access/query_tree_cost.hpp"
#include "native/edge.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/string.hpp>

namespace veltrin {

namespace {

godot::TypedArray<godot::Vector3i> route_failure(const ProjectionNames &p_names, godot::Object *p_path, const godot::Variant &p_reason) {
	return script_route(p_path->call(p_names._route_failure, p_reason));
}

} // namespace

godot::TypedArray<godot::Vector3i> script_route(const godot::Variant &p_answer) {
	return godot::TypedArray<godot::Vector3i>(p_answer);
}

godot::TypedArray<godot::Vector3i> resolve_ready_guest_point(const ProjectionNames &p_names, godot::Object *p_path, const godot::Vector3i &p_start, const godot::Vector3i &p_goal, const godot::Dictionary &p_tree, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access) {
	// The goal is looked up in four dictionaries: its key is built once.
	const godot::Variant goal_key = p_goal;
	const godot::Variant nil;
	const godot::Dictionary passable = p_path->get(p_names._passable_cells);
	if (!passable.has(p_start)) {
		return route_failure(p_names, p_path, p_names.START_NOT_PASSABLE);
	}
	if (!passable.has(goal_key)) {
		return route_failure(p_names, p_path, p_names.GOAL_NOT_PASSABLE);
	}
	if (!layer_permitted(p_layers, p_start) || !layer_permitted(p_layers, p_goal)) {
		return route_failure(p_names, p_path, p_names.ACCESS_LAYER_DENIED);
	}
	if (blocked(p_names, p_path, p_start)) {
		return route_failure(p_names, p_path, p_names.START_TEMPORARILY_BLOCKED);
	}
	if (blocked(p_names, p_path, p_goal)) {
		return route_failure(p_names, p_path, p_names.GOAL_TEMPORARILY_BLOCKED);
	}

	const godot::Variant key = cache_key_with_suffix(p_start, p_goal, cache_key_suffix(p_names, p_path, p_layers, p_access));
	godot::Dictionary path_cache = p_path->get(p_names._path_cache);
	const godot::Dictionary batch = p_path->get(p_names._query_batch);
	const godot::Dictionary targets = batch.get(p_names.targets, nil);
	if (path_cache.has(key) || !targets.has(goal_key)) {
		// Not this batch's question: the service answers it its own way.
		return script_route(p_path->call(p_names._find_path_internal, p_start, p_goal));
	}

	// Script integers wrap; so does the counter.
	const int64_t misses = p_path->get(p_names.cache_misses);
	p_path->set(p_names.cache_misses, veltrin_native::signed_add(misses, 1));

	if (p_start.z != p_goal.z && !static_cast<bool>(p_path->call(p_names._guest_batch_has_permitted_layer_crossing, p_start, p_goal, p_layers, p_access))) {
		return route_failure(p_names, p_path, p_names.GOAL_UNREACHABLE);
	}

	godot::TypedArray<godot::Vector3i> route;
	if (p_start == p_goal) {
		route.push_back(p_start);
	} else {
		const godot::Dictionary settled = p_tree.get(p_names.settled, nil);
		if (settled.has(goal_key)) {
			// Assignment, not conversion: an answer that is not already typed Vector3i is
			// refused with the engine's error and leaves the route empty.
			const godot::Array answer = p_path->call(p_names._guest_tree_reconstruct_path, p_tree, p_goal);
			route = answer;
		}
	}
	if (route.is_empty()) {
		const godot::Variant reason = p_path->call(p_names._diagnose_no_route_reason, p_start, p_goal, p_layers, p_access);
		return route_failure(p_names, p_path, reason);
	}

	path_cache.set(key, cached_guest_route(p_names, p_path, route));
	p_path->set(p_names.last_no_route_reason, p_names.OK);
	p_path->set(p_names.last_path_cost, tree_cost(p_names, p_tree, p_goal));
	p_path->set(p_names.last_error, godot::String());
	return route;
}

} // namespace veltrin
