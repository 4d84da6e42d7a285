#include "guest_access/query_tree_cost.hpp"

#include "common/dictionary_reads.hpp"

#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

TreeCosts::TreeCosts(const AccessKeys &p_keys, const godot::Dictionary &p_tree) :
        compact(entry_or(p_tree, p_keys.compact, p_keys.no)),
        table(entry_or(p_tree, compact ? p_keys.indices : p_keys.costs, p_keys.nil)),
        cost_values(compact ? godot::PackedInt64Array(entry_or(p_tree, p_keys.cost_values, p_keys.nil)) : godot::PackedInt64Array()) {
}

bool find_tree_cost(const TreeCosts &p_costs, const godot::Variant &p_goal_key, int64_t &r_cost) {
	// A table that is no dictionary holds no cost, as the empty one it would convert to; the
	// type first, as an object's keyed read would run its script.
	if (p_costs.table.get_type() != godot::Variant::DICTIONARY) {
		return false;
	}
	// One keyed read both finds the entry and copies it out.
	bool valid = false;
	const godot::Variant found = p_costs.table.get_keyed(p_goal_key, valid);
	if (!valid) {
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
	if (!find_tree_cost(TreeCosts(p_keys, p_tree), p_goal_key, cost)) {
		return MISSING_TREE_COST;
	}
	return cost;
}

int64_t tree_cost(const ProjectionNames &p_names, const godot::Dictionary &p_tree, const godot::Vector3i &p_goal) {
	const AccessKeys keys(p_names);
	return tree_cost(keys, p_tree, godot::Variant(p_goal));
}

} // namespace veltrin
