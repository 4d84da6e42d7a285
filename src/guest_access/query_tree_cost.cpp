#include "guest_access/query_tree_cost.hpp"

#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

TreeCosts read_tree_costs(const ProjectionNames &p_names, const godot::Dictionary &p_tree) {
	TreeCosts costs;
	// One nil default for the three reads.
	const godot::Variant nil;
	costs.compact = p_tree.get(p_names.compact, false);
	if (costs.compact) {
		costs.indices = p_tree.get(p_names.indices, nil);
		costs.cost_values = p_tree.get(p_names.cost_values, nil);
	} else {
		costs.costs = p_tree.get(p_names.costs, nil);
	}
	return costs;
}

bool find_tree_cost(const TreeCosts &p_costs, const godot::Vector3i &p_goal, int64_t &r_cost) {
	const godot::Variant goal = p_goal;
	// One lookup: a nil answer is told from a stored nil by a second look.
	const godot::Dictionary &table = p_costs.compact ? p_costs.indices : p_costs.costs;
	const godot::Variant found = table.get(goal, godot::Variant());
	if (found.get_type() == godot::Variant::NIL && !table.has(goal)) {
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

int64_t tree_cost(const ProjectionNames &p_names, const godot::Dictionary &p_tree, const godot::Vector3i &p_goal) {
	int64_t cost = MISSING_TREE_COST;
	if (!find_tree_cost(read_tree_costs(p_names, p_tree), p_goal, cost)) {
		return MISSING_TREE_COST;
	}
	return cost;
}

} // namespace veltrin
