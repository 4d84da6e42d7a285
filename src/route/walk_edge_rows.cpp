#include "route/walk_edge_rows.hpp"

#include "common/wrapping_arithmetic.hpp"

#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>

namespace veltrin {

namespace {

// A memo typed for other keys can hold no cell (and the engine reports every lookup of
// one); one typed for other values cannot take the rows.
bool memo_keys_cells(const godot::Dictionary &p_memo) {
	return !p_memo.is_typed_key() || p_memo.get_typed_key_builtin() == godot::Variant::VECTOR3I;
}

bool memo_takes_rows(const godot::Dictionary &p_memo) {
	return !p_memo.is_typed_value() || p_memo.get_typed_value_builtin() == godot::Variant::ARRAY;
}

// The path service data one row computation reads, each checked for its type once.
struct WalkEdgeSources {
	godot::Dictionary edges;
	godot::Dictionary indices;
	godot::Dictionary adjacency;
	godot::Dictionary cell_traffic;
	bool vertical_walk_requires_connector = false;
};

bool is_type(const godot::Variant &p_value, godot::Variant::Type p_type) {
	return p_value.get_type() == p_type;
}

bool read_sources(const WalkEdgeNames &p_names, const LiveObject &p_path, const godot::Dictionary &p_workspace, WalkEdgeSources &r_sources) {
	const godot::Variant indices = p_workspace.get(p_names.indices, p_names.nil);
	const godot::Variant adjacency = p_path->get(p_names.adjacency);
	const godot::Variant cell_traffic = p_path->get(p_names.cell_traffic);
	const godot::Variant vertical = p_path->get(p_names.vertical_walk_requires_connector);
	if (!is_type(indices, godot::Variant::DICTIONARY) || !is_type(adjacency, godot::Variant::DICTIONARY) ||
	        !is_type(cell_traffic, godot::Variant::DICTIONARY) || !is_type(vertical, godot::Variant::BOOL)) {
		return false;
	}
	r_sources.indices = indices;
	r_sources.adjacency = adjacency;
	r_sources.cell_traffic = cell_traffic;
	r_sources.vertical_walk_requires_connector = vertical;
	return true;
}

enum class EntryOutcome {
	ROW,
	SKIP,
	DECLINE,
};

// The cost of walking along one adjacency entry, or why it yields no row.
EntryOutcome entry_cost(const WalkEdgeNames &p_names, const WalkEdgeContext &p_context, const WalkEdgeSources &p_sources, const godot::Vector3i &p_current, const godot::Dictionary &p_entry, const godot::Variant &p_to_key, const godot::Vector3i &p_to, int64_t &r_cost) {
	if (int64_t(p_to.z) != p_context.front && int64_t(p_to.z) != p_context.back) {
		return EntryOutcome::SKIP;
	}
	// Most cells carry no traffic entry: tell a missing one from a stored nil without
	// building an empty default per entry.
	const godot::Variant traffic_value = p_sources.cell_traffic.get(p_to_key, p_names.nil);
	godot::Dictionary traffic;
	if (is_type(traffic_value, godot::Variant::DICTIONARY)) {
		traffic = traffic_value;
	} else if (!is_type(traffic_value, godot::Variant::NIL) || p_sources.cell_traffic.has(p_to_key)) {
		return EntryOutcome::DECLINE;
	}
	if (!traffic.is_empty()) {
		const godot::Variant blocked = traffic.get(p_names.temporary_block, p_names.nil);
		if (!is_type(blocked, godot::Variant::BOOL)) {
			return EntryOutcome::DECLINE;
		}
		if (bool(blocked)) {
			return EntryOutcome::SKIP;
		}
	}

	// Connectors, access control and other movement kinds are the script's business.
	const godot::Variant connector_id = p_entry.get(p_names.connector_id, p_names.nil);
	const godot::Variant access_id = p_entry.get(p_names.access_id, p_names.nil);
	const godot::Variant movement_type = p_entry.get(p_names.movement_type, p_names.nil);
	if (!is_type(connector_id, godot::Variant::STRING_NAME) || !is_type(access_id, godot::Variant::STRING_NAME) ||
	        !is_type(movement_type, godot::Variant::STRING_NAME)) {
		return EntryOutcome::DECLINE;
	}
	if (!godot::StringName(connector_id).is_empty() || !godot::StringName(access_id).is_empty() ||
	        godot::StringName(movement_type) != p_context.movement_walk) {
		return EntryOutcome::DECLINE;
	}

	if (p_sources.vertical_walk_requires_connector && p_current.y != p_to.y) {
		return EntryOutcome::SKIP;
	}

	godot::Variant base_cost = p_context.orthogonal_move_cost;
	if (p_entry.has(p_names.base_cost)) {
		base_cost = p_entry.get(p_names.base_cost, p_names.nil);
	} else if (p_entry.has(p_names.cost)) {
		base_cost = p_entry.get(p_names.cost, p_names.nil);
	}
	if (!is_type(base_cost, godot::Variant::INT)) {
		return EntryOutcome::DECLINE;
	}

	int64_t dynamic_cost = 0;
	if (!traffic.is_empty()) {
		const godot::Variant traffic_cost = traffic.get(p_names.dynamic_cost, p_names.nil);
		const godot::Variant density = traffic.get(p_names.current_density, p_names.nil);
		const godot::Variant capacity = traffic.get(p_names.base_capacity, p_names.nil);
		if (!is_type(traffic_cost, godot::Variant::INT) || !is_type(density, godot::Variant::INT) || !is_type(capacity, godot::Variant::INT)) {
			return EntryOutcome::DECLINE;
		}
		int64_t excess = wrapping_subtract(int64_t(density), int64_t(capacity));
		if (excess < 0) {
			excess = 0;
		}
		dynamic_cost = wrapping_add(int64_t(traffic_cost), wrapping_multiply(p_context.congestion_cost_per_excess, excess));
	}
	r_cost = wrapping_add(int64_t(base_cost), dynamic_cost);
	return EntryOutcome::ROW;
}

} // namespace

bool builtin_walk_edge_rows(const WalkEdgeNames &p_names, const WalkEdgeContext &p_context, const godot::Vector3i &p_current, godot::Array &r_rows) {
	if (p_context.path.is_null()) {
		return false;
	}
	const LiveObject &path = p_context.path;
	const godot::Variant workspace_value = path->get(p_names.guest_tree_workspace);
	if (!is_type(workspace_value, godot::Variant::DICTIONARY)) {
		return false;
	}
	const godot::Dictionary workspace = workspace_value;
	const godot::Variant edges_value = workspace.get(p_names.edges, p_names.nil);
	if (!is_type(edges_value, godot::Variant::DICTIONARY)) {
		return false;
	}
	WalkEdgeSources sources;
	sources.edges = edges_value;
	if (!memo_keys_cells(sources.edges)) {
		return false;
	}

	// One lookup for the common hit; has() only tells a stored non-Array from a miss.
	const godot::Variant current_key = p_current;
	const godot::Variant memo = sources.edges.get(current_key, p_names.nil);
	if (is_type(memo, godot::Variant::ARRAY)) {
		r_rows = memo;
		return true;
	}
	if (sources.edges.has(current_key)) {
		return false;
	}
	// A memo that cannot take the entry would refuse the write the answer promises: the
	// cell stays the script's.
	if (sources.edges.is_read_only() || !memo_takes_rows(sources.edges)) {
		return false;
	}
	if (!read_sources(p_names, path, workspace, sources)) {
		return false;
	}
	const godot::Variant adjacent_value = sources.adjacency.get(current_key, godot::Array());
	if (!is_type(adjacent_value, godot::Variant::ARRAY)) {
		return false;
	}
	const godot::Array adjacent = adjacent_value;

	godot::Array rows;
	const int64_t entry_count = adjacent.size();
	for (int64_t i = 0; i < entry_count; i++) {
		const godot::Variant &entry_value = adjacent[i];
		if (!is_type(entry_value, godot::Variant::DICTIONARY)) {
			return false;
		}
		const godot::Dictionary entry = entry_value;
		const godot::Variant to_value = entry.get(p_names.to, p_names.nil);
		if (!is_type(to_value, godot::Variant::VECTOR3I)) {
			return false;
		}
		const godot::Vector3i to = to_value;
		int64_t cost = 0;
		const EntryOutcome outcome = entry_cost(p_names, p_context, sources, p_current, entry, to_value, to, cost);
		if (outcome == EntryOutcome::DECLINE) {
			return false;
		}
		if (outcome == EntryOutcome::SKIP) {
			continue;
		}
		godot::Array row;
		row.append(to_value);
		row.append(cost);
		rows.append(row);
		// This row stays the last one: the search turns it into an unusable answer.
		if (cost < 1 || !sources.indices.has(to_value)) {
			break;
		}
	}
	sources.edges[current_key] = rows;
	r_rows = rows;
	return true;
}

} // namespace veltrin
