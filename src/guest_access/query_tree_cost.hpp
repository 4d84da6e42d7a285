#pragma once

// Goal costs read from a query tree built by the path service. A compact tree maps cells to
// indices into a packed cost array; the other form maps cells to costs directly.

#include "guest_access/access_keys.hpp"
#include "guest_access/projection_names.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>
#include <limits>

namespace veltrin {

// Stands for a cost the tree does not hold, as the search marks an unreached cell.
constexpr int64_t MISSING_TREE_COST = std::numeric_limits<int64_t>::max();

// The cost form of one tree, read once and used for every goal of a query: a compact
// tree's index table and cost array, or the other form's cost table. The table is read in
// place from the tree, so a TreeCosts is used before any script runs again.
struct TreeCosts {
	bool compact = false;
	const godot::Variant &table;
	godot::PackedInt64Array cost_values;

	TreeCosts(const AccessKeys &p_keys, const godot::Dictionary &p_tree);
};

// False when the tree has no cost for the goal (p_goal_key, a Vector3i): no index, an index
// outside the cost array, or no entry in the cost dictionary.
bool find_tree_cost(const TreeCosts &p_costs, const godot::Variant &p_goal_key, int64_t &r_cost);

// The goal's cost in the tree, MISSING_TREE_COST when the tree holds none.
int64_t tree_cost(const AccessKeys &p_keys, const godot::Dictionary &p_tree, const godot::Variant &p_goal_key);
int64_t tree_cost(const ProjectionNames &p_names, const godot::Dictionary &p_tree, const godot::Vector3i &p_goal);

} // namespace veltrin
