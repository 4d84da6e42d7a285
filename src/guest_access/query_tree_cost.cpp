#include "guest_access/query_tree_cost.hpp"

#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

TreeCosts read_tree_costs(const AccessKeys &p_keys, const godot::Dictionary &p_tree) {
	TreeCosts costs;
	costs.compact = p_tree.get(p_keys.compact, p_keys.no);
	if (costs.compact) {
		costs.indices = p_tree.get(p_keys.indices, p_keys.nil);
		costs.cost_values = p_tree.get(p_keys.cost_values, p_keys.nil);
	} else {
		costs.costs = p_tree.get(p_keys.costs, p_keys.nil);
	}
	return costs;
}

bool find_tree_cost(const AccessKeys &p_keys, const TreeCosts &p_costs, const godot::Variant &p_goal_key, int64_t &r_cost) {
	// One lookup: a nil answer is told from a stored nil by a second look.
	const godot::Dictionary &table = p_costs.compact ? p_costs.indices : p_costs.costs;
	const godot::Variant found = table.get(p_goal_key, p_keys.nil);
	if (found.get_type() == godot::Variant::NIL && !table.has(p_goal_key)) {
		return false;
	}
	if (!p_costs.compact) {
		r_cost = found;
		return true;
	}
	const int64_t index = found;
	if (index < 0 || index >= p_costs.cost_values.size()) {
		return false;
	}
	r_cost = p_costs.cost_values[index];
	return true;
}

int64_t tree_cost(const AccessKeys &p_keys, const godot::Dictionary &p_tree, const godot::Variant &p_goal_key) {
	int64_t cost = MISSING_TREE_COST;
	if (!find_tree_cost(p_keys, read_tree_costs(p_keys, p_tree), p_goal_key, cost)) {
		return MISSING_TREE_COST;
	}
	return cost;
}

int64_t tree_cost(const ProjectionNames &p_names, const godot::Dictionary &p_tree, const godot::Vector3i &p_goal) {
	const AccessKeys keys(p_names);
	return tree_cost(keys, p_tree, godot::Variant(p_goal));
}

} // namespace veltrin
