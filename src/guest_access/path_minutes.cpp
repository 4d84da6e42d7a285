#include "guest_access/path_minutes.hpp"

#include "common/builtin.hpp"
#include "common/saturating_math.hpp"
#include "common/script_paths.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <optional>
#include <utility>
#include <vector>

namespace veltrin {

namespace {

constexpr int64_t COSTED_STAIR_COST = 150;
// Up to this many cells a copy of each costs less than a new engine array (about 4 ns a cell
// against 190 in the engine's figures).
constexpr int64_t COPIED_ROUTE_CELLS = 40;

// The memo's connector for one step, or null when the memo does not hold the step. The
// route's own cell Variants are the memo's keys, so no key is built per step; the answer
// points into r_connector.
const godot::Variant *memo_connector(const godot::Dictionary &p_memo, const godot::Variant &p_from_cell, const godot::Variant &p_to_cell, std::optional<godot::Variant> &r_connector) {
	if (!p_memo.has(p_from_cell)) {
		return nullptr;
	}
	// Read in place: no script runs before the step is read out of it. A value that is no
	// dictionary holds no step, as the empty one it would convert to; the type first, as an
	// object's keyed read would run its script.
	const godot::Variant &entry = p_memo[p_from_cell];
	if (entry.get_type() != godot::Variant::DICTIONARY) {
		return nullptr;
	}
	// One keyed read both finds the step and copies it out: no dictionary taken out of the
	// entry.
	bool valid = false;
	godot::Variant connector = entry.get_keyed(p_to_cell, valid);
	if (!valid) {
		return nullptr;
	}
	return &r_connector.emplace(std::move(connector));
}

// A one-floor climb through an infrastructure connector (p_connector is one) whose stair
// costs extra, when the guest's stair credit outweighs the movement scale.
bool costed_stair(const ProjectionNames &p_names, const LiveObject &p_path_service, const godot::StringName &p_connector, const godot::Vector3i &p_from, const godot::Vector3i &p_to, int64_t p_movement_scale, int64_t p_stair_credit) {
	if (p_from.x != p_to.x || p_from.z != p_to.z) {
		return false;
	}
	const int64_t rise = static_cast<int64_t>(p_to.y) - static_cast<int64_t>(p_from.y);
	if (rise != 1 && rise != -1) {
		return false;
	}
	const godot::Dictionary record = p_path_service->call(p_names.get_connector, p_connector);
	const godot::StringName movement_type = record.get(p_names.movement_type, godot::StringName());
	if (movement_type != p_names.CONNECTOR) {
		return false;
	}
	if (p_stair_credit <= p_movement_scale) {
		return false;
	}
	return static_cast<int64_t>(record.get(p_names.cost, 0)) == COSTED_STAIR_COST;
}

// A route cell and the memo's key for it: the route's element itself when it is stored as
// a Vector3i, else the cell it converts to. A stored cell is converted only when a step
// needs it (a question to the service, a climb to test).
struct RouteCell {
	const godot::Variant *element = nullptr;
	const godot::Variant *key = nullptr;
	std::optional<godot::Variant> converted;
	std::optional<godot::Vector3i> cell;
};

void read_route_cell(const godot::Variant &p_element, bool p_typed_cells, RouteCell &r_cell) {
	r_cell.element = &p_element;
	r_cell.cell.reset();
	if (p_typed_cells || p_element.get_type() == godot::Variant::VECTOR3I) {
		r_cell.converted.reset();
		r_cell.key = &p_element;
	} else {
		r_cell.cell = godot::Vector3i(p_element);
		r_cell.key = &r_cell.converted.emplace(*r_cell.cell);
	}
}

const godot::Vector3i &cell_of(RouteCell &r_cell) {
	if (!r_cell.cell) {
		r_cell.cell = godot::Vector3i(*r_cell.element);
	}
	return *r_cell.cell;
}

int64_t step_count(const godot::Array &p_route) {
	return p_route.size() < 2 ? 0 : p_route.size() - 1;
}

// Walks a copy of the route that nothing else holds (p_cells): its elements stay put while
// the services' scripts run between steps, so each is read in place and serves as the memo's
// key, and a script that changes the route cannot change what is being walked.
template <typename Cells>
int64_t walk_route_minutes(const ProjectionNames &p_names, const LiveObject &p_path_service, const LiveObject &p_elevator_service, const godot::Dictionary &p_memo, bool p_memo_trusted, const godot::Array &p_route, const Cells &p_cells, bool p_typed_cells, int64_t p_movement_scale, int64_t p_stair_credit, int64_t p_orthogonal_cost, const godot::String &p_infrastructure_prefix) {
	const Cells &cells = p_cells;
	const bool typed_cells = p_typed_cells;
	// The step's connector: the last elevator question, remembered to skip repeats along a
	// run of one connector.
	std::optional<godot::StringName> asked_connector;
	bool asked_for_memo_with_bool = false;
	// Only an infrastructure connector's steps can be costed stairs: a run of another needs
	// no cell of its steps.
	bool asked_infrastructure = false;
	bool costed = false;
	// A step's end is the next step's start: the two slots take turns.
	RouteCell ends[2];
	int from_slot = 0;
	bool started = false;
	for (const godot::Variant &element : cells) {
		if (!started) {
			read_route_cell(element, typed_cells, ends[from_slot]);
			started = true;
			continue;
		}
		RouteCell &from = ends[from_slot];
		RouteCell &to = ends[from_slot ^ 1];
		read_route_cell(element, typed_cells, to);
		// The memo's connector for the step, copied out only when the memo holds the step.
		std::optional<godot::Variant> memo_step;
		const godot::Variant *memo_value = memo_connector(p_memo, *from.key, *to.key, memo_step);
		const bool memo_hit = memo_value != nullptr && p_memo_trusted && memo_value->get_type() == godot::Variant::STRING_NAME;
		// A false answer for the same connector stands for the whole run; the connector is
		// then the one asked about. A memo hit holds a StringName, so the name is taken out
		// of it to compare: a builtin compared with a Variant is never equal.
		// Taken out once: it is compared, then becomes the connector asked about.
		std::optional<godot::StringName> memo_name;
		if (memo_hit) {
			memo_name.emplace(*memo_value);
		}
		const bool repeat = memo_hit && asked_for_memo_with_bool && *asked_connector == *memo_name;
		if (!repeat) {
			if (memo_name) {
				asked_connector.emplace(std::move(*memo_name));
			} else {
				asked_connector.emplace(memo_value != nullptr ? godot::StringName(*memo_value) : godot::StringName(p_path_service->call(p_names.get_step_connector, cell_of(from), cell_of(to), godot::TypedArray<godot::StringName>())));
			}
			const godot::Variant connector = *asked_connector;
			const godot::Variant owned = p_elevator_service.call_held(p_names.owns_connector, connector);
			asked_for_memo_with_bool = memo_hit && owned.get_type() == godot::Variant::BOOL;
			if (static_cast<bool>(owned)) {
				costed = true;
				break;
			}
			asked_infrastructure = asked_connector->begins_with(p_infrastructure_prefix);
		}
		if (asked_infrastructure && costed_stair(p_names, p_path_service, *asked_connector, cell_of(from), cell_of(to), p_movement_scale, p_stair_credit)) {
			costed = true;
			break;
		}
		from_slot ^= 1;
	}

	if (!costed || p_orthogonal_cost <= 0) {
		return step_count(p_route);
	}
	// The ends of the walked copy: a step was walked, so it holds at least two cells. Ends
	// stored as cells are handed over as they lie; others as the cells they convert to.
	const godot::Variant &first = cells[0];
	const godot::Variant &last = cells[cells.size() - 1];
	const godot::Variant route = p_route;
	const bool ends_are_cells = typed_cells || (first.get_type() == godot::Variant::VECTOR3I && last.get_type() == godot::Variant::VECTOR3I);
	const int64_t cost = ends_are_cells ? p_path_service.call_held(p_names.calculate_guest_batch_path_cost, first, last, route) : p_path_service.call_held(p_names.calculate_guest_batch_path_cost, godot::Variant(godot::Vector3i(first)), godot::Variant(godot::Vector3i(last)), route);
	return saturating_ceil(static_cast<double>(cost) / static_cast<double>(p_orthogonal_cost));
}

int64_t route_minutes(const ProjectionNames &p_names, const LiveObject &p_path_service, const LiveObject &p_elevator_service, const godot::Dictionary &p_memo, bool p_memo_trusted, const godot::Array &p_route, int64_t p_movement_scale, int64_t p_stair_credit, int64_t p_orthogonal_cost, const godot::String &p_infrastructure_prefix) {
	const bool typed_cells = p_route.get_typed_builtin() == godot::Variant::VECTOR3I;
	// A short route is copied cell by cell into the plug-in's own list (range-for reads the
	// elements in place); a longer one costs less as one engine copy, which shares the
	// route's storage until either is written.
	if (p_route.size() <= COPIED_ROUTE_CELLS) {
		std::vector<godot::Variant> cells;
		cells.reserve(static_cast<size_t>(p_route.size()));
		for (const godot::Variant &element : p_route) {
			cells.push_back(element);
		}
		return walk_route_minutes(p_names, p_path_service, p_elevator_service, p_memo, p_memo_trusted, p_route, cells, typed_cells, p_movement_scale, p_stair_credit, p_orthogonal_cost, p_infrastructure_prefix);
	}
	const godot::Array cells = p_route.duplicate(false);
	return walk_route_minutes(p_names, p_path_service, p_elevator_service, p_memo, p_memo_trusted, p_route, cells, typed_cells, p_movement_scale, p_stair_credit, p_orthogonal_cost, p_infrastructure_prefix);
}

} // namespace

int64_t guest_path_minutes(const ProjectionNames &p_names, const LiveObject &p_path_service, const LiveObject &p_elevator_service, const godot::Array &p_route, int64_t p_movement_scale, int64_t p_stair_credit, int64_t p_orthogonal_cost) {
	if (p_path_service.is_null() || p_elevator_service.is_null()) {
		return step_count(p_route);
	}
	const godot::Dictionary memo = p_path_service->get(p_names._guest_step_connector_memo);
	const bool memo_trusted = builtin(p_names.resource_path, p_path_service.get(), PATH_SERVICE_SCRIPT) && builtin(p_names.resource_path, p_elevator_service.get(), ELEVATOR_SERVICE_SCRIPT);
	return route_minutes(p_names, p_path_service, p_elevator_service, memo, memo_trusted, p_route, p_movement_scale, p_stair_credit, p_orthogonal_cost, godot::String(INFRASTRUCTURE_CONNECTOR_PREFIX));
}

int64_t guest_path_minutes(const ProjectionNames &p_names, const LiveObject &p_path_service, const LiveObject &p_elevator_service, const godot::Array &p_route, int64_t p_movement_scale, int64_t p_stair_credit, int64_t p_orthogonal_cost, bool p_services_builtin, const godot::String &p_infrastructure_prefix) {
	if (p_path_service.is_null() || p_elevator_service.is_null()) {
		return step_count(p_route);
	}
	const godot::Dictionary memo = p_path_service->get(p_names._guest_step_connector_memo);
	return route_minutes(p_names, p_path_service, p_elevator_service, memo, p_services_builtin, p_route, p_movement_scale, p_stair_credit, p_orthogonal_cost, p_infrastructure_prefix);
}

} // namespace veltrin
