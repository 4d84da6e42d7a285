#include "guest_access/nearest_guest_access.hpp"

#include "common/answers.hpp"
#include "common/builtin.hpp"
#include "common/diagnostics.hpp"
#include "common/saturating_math.hpp"
#include "common/script_paths.hpp"
#include "guest_access/guest_cells.hpp"
#include "guest_access/guest_route_resolve.hpp"
#include "guest_access/path_cache_key.hpp"
#include "guest_access/query_tree_cost.hpp"

#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

namespace {

// The query's fixed inputs, passed together to the steps below.
struct NearestQuery {
	const ProjectionNames &names;
	godot::Object *path;
	const godot::Vector3i &start;
	const godot::TypedArray<int64_t> &layers;
	const godot::TypedArray<godot::StringName> &access;
};

// False when some goal makes the query one the batch cannot answer: not a cell, reachable
// outside the batch, or already cached.
bool goals_pass_prefilter(const NearestQuery &p_query, const godot::Array &p_goals, const godot::Dictionary &p_passable, const godot::Dictionary &p_targets, const godot::Dictionary &p_path_cache) {
	const ProjectionNames &names = p_query.names;
	godot::String suffix;
	bool have_suffix = false;
	for (int64_t i = 0; i < p_goals.size(); i++) {
		const godot::Variant &element = p_goals[i];
		if (element.get_type() != godot::Variant::VECTOR3I) {
			return false;
		}
		const godot::Vector3i goal = element;
		if (!p_targets.has(goal) && p_passable.has(goal) && layer_permitted(p_query.layers, goal) && !blocked(names, p_query.path, goal)) {
			if (goal.z == p_query.start.z) {
				return false;
			}
			if (static_cast<bool>(p_query.path->call(names._guest_batch_has_permitted_layer_crossing, p_query.start, goal, p_query.layers, p_query.access))) {
				return false;
			}
		}
		if (!have_suffix) {
			suffix = cache_key_suffix(names, p_query.path, p_query.layers, p_query.access);
			have_suffix = true;
		}
		if (p_path_cache.has(cache_key_with_suffix(p_query.start, goal, suffix))) {
			return false;
		}
	}
	return true;
}

// Builds the batch's tree on its first query and marks the batch ready, whatever the tree
// holds: later queries of the batch reuse it.
void ensure_query_tree(const NearestQuery &p_query, godot::Dictionary &r_batch, const godot::Dictionary &p_targets) {
	const ProjectionNames &names = p_query.names;
	if (static_cast<bool>(r_batch.get(names.ready, false))) {
		return;
	}
	{
		VELTRIN_PHASE(PHASE_QUERY_TREE_BUILD);
		const godot::Variant tree = p_query.path->call(names._build_guest_query_tree_compact, p_query.start, p_targets, p_query.layers, p_query.access);
		r_batch.set(names.tree, tree);
	}
	r_batch.set(names.arithmetic_wrapped, p_query.path->get(names._guest_tree_arithmetic_wrapped));
	r_batch.set(names.ready, true);
}

enum class Selection {
	FOUND,
	NONE,
	UNSUPPORTED,
};

// The cheapest goal of the batch settled in the tree; the first in goal order wins a tie.
Selection select_goal(const ProjectionNames &p_names, const godot::Array &p_goals, const godot::Dictionary &p_targets, const godot::Dictionary &p_tree, godot::Vector3i &r_best) {
	const godot::Dictionary settled = p_tree.get(p_names.settled, godot::Variant());
	TreeCosts costs;
	bool costs_read = false;
	bool found = false;
	int64_t best_cost = 0;
	for (int64_t i = 0; i < p_goals.size(); i++) {
		const godot::Vector3i goal = p_goals[i];
		if (!p_targets.has(goal) || !settled.has(goal)) {
			continue;
		}
		if (!costs_read) {
			costs = read_tree_costs(p_names, p_tree);
			costs_read = true;
		}
		int64_t cost = 0;
		if (!find_tree_cost(costs, goal, cost)) {
			return Selection::UNSUPPORTED;
		}
		if (!found || cost < best_cost) {
			found = true;
			best_cost = cost;
			r_best = goal;
		}
	}
	return found ? Selection::FOUND : Selection::NONE;
}

godot::TypedArray<godot::Vector3i> resolve_timed(const NearestQuery &p_query, const godot::Vector3i &p_goal, const godot::Dictionary &p_tree) {
	VELTRIN_PHASE(PHASE_ROUTE_RESOLVE);
	return resolve_ready_guest_point(p_query.names, p_query.path, p_query.start, p_goal, p_tree, p_query.layers, p_query.access);
}

// Steps after the path service's script test: the batch, the prefilter, the tree, the
// selection, the resolutions and the measured signal.
godot::Dictionary answer_from_batch(const NearestQuery &p_query, const godot::Array &p_goals, const godot::Vector3i &p_fallback_target, const godot::Callable &p_ticks) {
	const NearestQuery &query = p_query;
	const ProjectionNames &names = query.names;
	godot::Dictionary batch = query.path->get(names._query_batch);
	if (batch.is_empty()) {
		return declined_answer();
	}
	const godot::Vector3i batch_start = batch.get(names.start, godot::Variant());
	if (batch_start != query.start) {
		return declined_answer();
	}
	const godot::Dictionary passable = query.path->get(names._passable_cells);
	if (!passable.has(query.start) || blocked(names, query.path, query.start) || !layer_permitted(query.layers, query.start)) {
		return declined_answer();
	}
	const godot::Dictionary targets = batch.get(names.targets, godot::Variant());
	const godot::Dictionary path_cache = query.path->get(names._path_cache);
	if (!goals_pass_prefilter(query, p_goals, passable, targets, path_cache)) {
		return declined_answer();
	}

	const int64_t ticks_before = p_ticks.call();
	ensure_query_tree(query, batch, targets);
	const godot::Dictionary tree = batch.get(names.tree, godot::Variant());
	if (!static_cast<bool>(tree.get(names.usable, false))) {
		return declined_answer();
	}
	if (static_cast<bool>(batch.get(names.arithmetic_wrapped, false))) {
		return declined_answer();
	}

	godot::Vector3i best = p_fallback_target;
	const Selection selection = select_goal(names, p_goals, targets, tree, best);
	if (selection == Selection::UNSUPPORTED) {
		return declined_answer();
	}
	const bool found = selection == Selection::FOUND;
	godot::TypedArray<godot::Vector3i> route;
	if (found) {
		route = resolve_timed(query, best, tree);
		if (route.is_empty()) {
			return declined_answer();
		}
	}
	// The service's last-query fields always end up describing the last goal asked for.
	const godot::Vector3i last_goal = p_goals[p_goals.size() - 1];
	if (!found || last_goal != best) {
		resolve_timed(query, last_goal, tree);
	}

	const int64_t ticks_after = p_ticks.call();
	query.path->emit_signal(names.path_query_measured, non_negative_difference(ticks_after, ticks_before));

	godot::Dictionary answer;
	answer[names.supported] = true;
	answer[names.reachable] = found;
	answer[names.path] = route;
	answer[names.target_cell] = best;
	return answer;
}

} // namespace

godot::Dictionary nearest_guest_access_impl(godot::Object *p_path, const godot::Vector3i &p_start, const godot::Array &p_goals, const godot::Vector3i &p_fallback_target, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, const godot::Callable &p_ticks) {
	const ProjectionNames names;
	return nearest_guest_access_impl(names, p_path, p_start, p_goals, p_fallback_target, p_layers, p_access, p_ticks);
}

godot::Dictionary nearest_guest_access_impl(const ProjectionNames &p_names, godot::Object *p_path, const godot::Vector3i &p_start, const godot::Array &p_goals, const godot::Vector3i &p_fallback_target, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, const godot::Callable &p_ticks) {
	VELTRIN_PHASE(PHASE_NEAREST_TOTAL);
	if (p_path == nullptr || !p_ticks.is_valid() || p_goals.is_empty()) {
		return declined_answer();
	}
	if (!builtin(p_names.resource_path, p_path, PATH_SERVICE_SCRIPT)) {
		return declined_answer();
	}
	return answer_from_batch(NearestQuery { p_names, p_path, p_start, p_layers, p_access }, p_goals, p_fallback_target, p_ticks);
}

godot::Dictionary nearest_guest_access_on_builtin_path(const ProjectionNames &p_names, godot::Object *p_path, const godot::Vector3i &p_start, const godot::Array &p_goals, const godot::Vector3i &p_fallback_target, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, const godot::Callable &p_ticks) {
	VELTRIN_PHASE(PHASE_NEAREST_TOTAL);
	if (p_path == nullptr || !p_ticks.is_valid() || p_goals.is_empty()) {
		return declined_answer();
	}
	return answer_from_batch(NearestQuery { p_names, p_path, p_start, p_layers, p_access }, p_goals, p_fallback_target, p_ticks);
}

} // namespace veltrin
