#include "guest_access/query_tree_cost.hpp"

#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

TreeCosts read_tree_costs(const ProjectionNames &p_names, const godot::Dictionary &p_tree) {
	TreeCosts costs;
	costs.compact = p_tree.get(p_names.compact, false);
	if (costs.compact) {
		costs.indices = p_tree.get(p_names.indices, godot::Variant());
		costs.cost_values = p_tree.get(p_names.cost_values, godot::Variant());
	} else {
		costs.costs = p_tree.get(p_names.costs, godot::Variant());
	}
	return costs;
}

bool find_tree_cost(const TreeCosts &p_costs, const godot::Vector3i &p_goal, int64_t &r_cost) {
	const godot::Variant goal = p_goal;
	if (!p_costs.compact) {
		if (!p_costs.costs.has(goal)) {
			return false;
		}
		r_cost = p_costs.costs.get(goal, godot::Variant());
		return true;
	}
	if (!p_costs.indices.has(goal)) {
		return false;
	}
	const int64_t index = p_costs.indices.get(goal, godot::Variant());
	if (index < 0 || index >= p_costs.cost_values.size()) {
		return false;
	}
	r_cost = p_costs.cost_values[index];
	return true;
}

int64_t tree_cost(const ProjectionNames &p_names, const godot::Dictionary &p_tree, const godot::Vector3i &p_goal) {
	int64_t cost = MISSING_TREE_COST;
	if (!find_tree_cost(read_tree_costs(p_names, p_tree), p_goal, cost)) {
		return MISSING_TREE_COST;
	}
	return cost;
}

} // namespace veltrin
