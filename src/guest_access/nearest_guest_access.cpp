#include "guest_access/nearest_guest_access.hpp"

#include "common/answers.hpp"
#include "common/builtin.hpp"
#include "common/diagnostics.hpp"
#include "common/dictionary_reads.hpp"
#include "common/saturating_math.hpp"
#include "common/script_paths.hpp"
#include "guest_access/guest_cells.hpp"
#include "guest_access/guest_route_resolve.hpp"
#include "guest_access/path_cache_key.hpp"
#include "guest_access/query_tree_cost.hpp"

#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <optional>
#include <string>

namespace veltrin {

namespace {

// False when some goal makes the query one the batch cannot answer: not a cell, reachable
// outside the batch, or already cached.
bool goals_pass_prefilter(const AccessQuery &p_query, const AccessCells &p_goals, const godot::Variant &p_passable, const godot::Variant &p_targets, const godot::Dictionary &p_path_cache) {
	const ProjectionNames &names = p_query.names;
	// Made at the first goal that needs it: as plain text unless access names go in.
	std::optional<godot::String> suffix;
	std::string suffix_text;
	bool suffix_made = false;
	bool plain = false;
	for (const godot::Variant &element : p_goals) {
		// The goals are the query's own: an element stays put across the scripts' calls, and
		// once it is a cell it is its own lookup key.
		if (element.get_type() != godot::Variant::VECTOR3I) {
			return false;
		}
		const godot::Vector3i goal = element;
		if (!dictionary_has(p_targets, element) && dictionary_has(p_passable, element) && layer_permitted(p_query.layers, goal) && !blocked(names, p_query.keys, p_query.path.get(), element)) {
			if (goal.z == p_query.start.z) {
				return false;
			}
			if (static_cast<bool>(p_query.path.call_held(names._guest_batch_has_permitted_layer_crossing, p_query.start_key, element, p_query.layers_arg, p_query.access_arg))) {
				return false;
			}
		}
		if (!suffix_made) {
			suffix_made = true;
			plain = cache_key_suffix_text(names, p_query.path.get(), p_query.layers, p_query.access, suffix_text);
			if (!plain) {
				suffix.emplace(cache_key_suffix(names, p_query.path.get(), p_query.layers, p_query.access));
			}
		}
		if (plain ? p_path_cache.has(cache_key_from_text(p_query.start, goal, suffix_text, p_query.key_texts)) : p_path_cache.has(cache_key_with_suffix(p_query.start, goal, *suffix))) {
			return false;
		}
	}
	return true;
}

// Builds the batch's tree on its first query and marks the batch ready, whatever the tree
// holds: later queries of the batch reuse it. The query tested before asking that the batch
// can keep the tree; false when the service's script made it read-only since (a write would
// be refused with an engine error and leave a stale tree, or none, to answer from).
bool ensure_query_tree(const AccessQuery &p_query, godot::Dictionary &r_batch, const godot::Variant &p_targets) {
	const ProjectionNames &names = p_query.names;
	const AccessKeys &keys = p_query.keys;
	if (static_cast<bool>(entry_or(r_batch, keys.ready, keys.no))) {
		return true;
	}
	{
		VELTRIN_PHASE(PHASE_QUERY_TREE_BUILD);
		const godot::Variant tree = p_query.path->call(names._build_guest_query_tree_compact, p_query.start, p_targets, p_query.layers, p_query.access);
		if (r_batch.is_read_only()) {
			return false;
		}
		r_batch.set(keys.tree, tree);
	}
	const godot::Variant wrapped = p_query.path->get(names._guest_tree_arithmetic_wrapped);
	if (r_batch.is_read_only()) {
		return false;
	}
	r_batch.set(keys.arithmetic_wrapped, wrapped);
	r_batch.set(keys.ready, keys.yes);
	return true;
}

enum class Selection {
	FOUND,
	NONE,
	UNSUPPORTED,
};

// The cheapest goal of the batch settled in the tree; the first in goal order wins a tie.
// The goals passed the prefilter, so each is a cell and its own key; r_best_index is the
// winner's index in p_goals.
Selection select_goal(const AccessKeys &p_keys, const AccessCells &p_goals, const godot::Variant &p_targets, const godot::Dictionary &p_tree, godot::Vector3i &r_best, size_t &r_best_index) {
	// Read in place: no script runs in the loop, and p_tree holds the entry.
	const godot::Variant &settled = entry_or(p_tree, p_keys.settled, p_keys.nil);
	std::optional<TreeCosts> costs;
	bool found = false;
	int64_t best_cost = 0;
	for (size_t i = 0; i < p_goals.size(); i++) {
		const godot::Variant &goal = p_goals[i];
		if (!dictionary_has(p_targets, goal) || !dictionary_has(settled, goal)) {
			continue;
		}
		if (!costs) {
			costs.emplace(p_keys, p_tree);
		}
		int64_t cost = 0;
		if (!find_tree_cost(*costs, goal, cost)) {
			return Selection::UNSUPPORTED;
		}
		if (!found || cost < best_cost) {
			found = true;
			best_cost = cost;
			r_best = goal;
			r_best_index = i;
		}
	}
	return found ? Selection::FOUND : Selection::NONE;
}

godot::TypedArray<godot::Vector3i> resolve_timed(const AccessQuery &p_query, const godot::Vector3i &p_goal, const godot::Variant &p_goal_key, const godot::Dictionary &p_tree, const godot::Variant &p_tree_arg, bool &r_unkept) {
	VELTRIN_PHASE(PHASE_ROUTE_RESOLVE);
	return resolve_ready_guest_point(p_query, p_goal, p_goal_key, p_tree, p_tree_arg, r_unkept);
}

// Steps after the path service's script test: the batch, the prefilter, the tree, the
// selection, the resolutions and the measured signal.
AccessAnswer answer_from_batch(const AccessQuery &p_query, const AccessCells &p_goals, const godot::Vector3i &p_fallback_target, const godot::Callable &p_ticks) {
	const AccessCells &goals = p_goals;
	const AccessQuery &query = p_query;
	const ProjectionNames &names = query.names;
	const AccessKeys &keys = query.keys;
	godot::Dictionary batch = query.path->get(names._query_batch);
	if (batch.is_empty()) {
		return unsupported_access(keys);
	}
	const godot::Vector3i batch_start = entry_or(batch, keys.start, keys.nil);
	if (batch_start != query.start) {
		return unsupported_access(keys);
	}
	// Only looked up in: kept as read, no dictionary taken out of it.
	const godot::Variant passable = query.path->get(names._passable_cells);
	if (!dictionary_has(passable, query.start_key) || blocked(names, keys, query.path.get(), query.start_key) || !layer_permitted(query.layers, query.start_layer)) {
		return unsupported_access(keys);
	}
	// Only looked up in (and handed to the tree's build): a copy of the entry, which the
	// scripts may replace, with no dictionary taken out of it. Targets of another type are
	// the empty dictionary they convert to: the same one is handed to the build, which may
	// fill it, and looked up in after it.
	godot::Variant targets = entry_or(batch, keys.targets, keys.nil);
	if (targets.get_type() != godot::Variant::DICTIONARY) {
		targets = godot::Dictionary();
	}
	const godot::Dictionary path_cache = query.path->get(names._path_cache);
	// Whatever the query would write must be kept: a read-only batch that still needs its
	// tree, or a read-only route cache, declines before anything is asked or written.
	if (path_cache.is_read_only() || (batch.is_read_only() && !static_cast<bool>(entry_or(batch, keys.ready, keys.no)))) {
		return unsupported_access(keys);
	}
	if (!goals_pass_prefilter(query, goals, passable, targets, path_cache)) {
		return unsupported_access(keys);
	}

	const int64_t ticks_before = p_ticks.call();
	if (!ensure_query_tree(query, batch, targets)) {
		return unsupported_access(keys);
	}
	const godot::Dictionary tree = entry_or(batch, keys.tree, keys.nil);
	if (!static_cast<bool>(entry_or(tree, keys.usable, keys.no))) {
		return unsupported_access(keys);
	}
	if (static_cast<bool>(entry_or(batch, keys.arithmetic_wrapped, keys.no))) {
		return unsupported_access(keys);
	}

	godot::Vector3i best = p_fallback_target;
	size_t best_index = 0;
	const Selection selection = select_goal(keys, goals, targets, tree, best, best_index);
	if (selection == Selection::UNSUPPORTED) {
		return unsupported_access(keys);
	}
	const bool found = selection == Selection::FOUND;
	// The tree as the service's reconstruction is handed it, made once for both resolutions.
	const godot::Variant tree_arg = tree;
	// A route the service's cache refused (made read-only by its script during the query)
	// is a failure, never an answer.
	bool unkept = false;
	// The route found is the answer's own from the start: no empty one made to be replaced.
	AccessAnswer answer { false, false, found ? resolve_timed(query, best, goals[best_index], tree, tree_arg, unkept) : keys.no_route, godot::Vector3i() };
	if (found && answer.route.is_empty()) {
		return unsupported_access(keys);
	}
	// The service's last-query fields always end up describing the last goal asked for.
	const godot::Variant &last_key = goals.back();
	const godot::Vector3i last_goal = last_key;
	if (!found || last_goal != best) {
		resolve_timed(query, last_goal, last_key, tree, tree_arg, unkept);
		if (unkept) {
			return unsupported_access(keys);
		}
	}

	const int64_t ticks_after = p_ticks.call();
	query.path->emit_signal(names.path_query_measured, non_negative_difference(ticks_after, ticks_before));

	answer.supported = true;
	answer.reachable = found;
	answer.target_cell = best;
	return answer;
}

godot::Dictionary answer_dictionary(const AccessKeys &p_keys, const AccessAnswer &p_answer) {
	if (!p_answer.supported) {
		return declined_answer();
	}
	godot::Dictionary answer;
	answer[p_keys.supported] = true;
	answer[p_keys.reachable] = p_answer.reachable;
	// A route of its own: the keys' shared empty one must not reach a script.
	answer[p_keys.path] = p_answer.reachable ? p_answer.route : godot::TypedArray<godot::Vector3i>();
	answer[p_keys.target_cell] = p_answer.target_cell;
	return answer;
}

} // namespace

AccessAnswer unsupported_access(const AccessKeys &p_keys) {
	return AccessAnswer { false, false, p_keys.no_route, godot::Vector3i() };
}

godot::Dictionary nearest_guest_access_impl(godot::Object *p_path, const godot::Vector3i &p_start, const godot::Array &p_goals, const godot::Vector3i &p_fallback_target, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, const godot::Callable &p_ticks) {
	const ProjectionNames names;
	const AccessKeys keys(names);
	return nearest_guest_access_impl(names, keys, LiveObject(godot::Variant(p_path)), p_start, p_goals, p_fallback_target, p_layers, p_access, p_ticks);
}

godot::Dictionary nearest_guest_access_impl(const ProjectionNames &p_names, const AccessKeys &p_keys, const LiveObject &p_path, const godot::Vector3i &p_start, const godot::Array &p_goals, const godot::Vector3i &p_fallback_target, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, const godot::Callable &p_ticks) {
	VELTRIN_PHASE(PHASE_NEAREST_TOTAL);
	if (p_path.is_null() || !p_ticks.is_valid() || p_goals.is_empty()) {
		return declined_answer();
	}
	if (!builtin(p_names.resource_path, p_path.get(), PATH_SERVICE_SCRIPT)) {
		return declined_answer();
	}
	// The goals as the caller gave them: a script the query calls may empty or refill the
	// caller's list (it is shared), and the query answers for what it was asked.
	AccessCells goals;
	goals.reserve(static_cast<size_t>(p_goals.size()));
	for (const godot::Variant &goal : p_goals) {
		goals.push_back(goal);
	}
	const godot::Variant start_key = p_start;
	const godot::Variant start_layer = static_cast<int64_t>(p_start.z);
	const godot::Variant layers_arg = p_layers;
	const godot::Variant access_arg = p_access;
	CacheKeyTexts key_texts;
	return answer_dictionary(p_keys, answer_from_batch(AccessQuery { p_names, p_keys, p_path, p_start, start_key, start_layer, p_layers, p_access, layers_arg, access_arg, key_texts }, goals, p_fallback_target, p_ticks));
}

AccessAnswer nearest_guest_access_on_builtin_path(const AccessQuery &p_query, const AccessCells &p_goals, const godot::Vector3i &p_fallback_target, const godot::Callable &p_ticks) {
	VELTRIN_PHASE(PHASE_NEAREST_TOTAL);
	if (p_query.path.is_null() || !p_ticks.is_valid() || p_goals.empty()) {
		return unsupported_access(p_query.keys);
	}
	return answer_from_batch(p_query, p_goals, p_fallback_target, p_ticks);
}

} // namespace veltrin
