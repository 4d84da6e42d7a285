#include "guest_decision.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/string.hpp>

#include <algorithm>
#include <chrono>
#include <set>

using namespace godot;

namespace veltrin_demo {

const char *const METRIC_PROJECTION = "project_guest_candidates";
const char *const METRIC_BATCH = "guest_candidate_batch";
const char *const METRIC_SEARCH = "search_cached";
const char *const METRIC_DECISION = "guest_decision";

namespace {

// What the game passes for walking speed and stair preference.
constexpr int64_t MOVEMENT_SCALE = 10;
constexpr int64_t STAIR_CREDIT = 20;

using Clock = std::chrono::steady_clock;

std::string text_of(const Variant &p_value) {
	return String(p_value).utf8().get_data();
}

MapCell map_cell(const Vector3i &p_cell) {
	return MapCell { p_cell.x, p_cell.y, p_cell.z };
}

RankedFacility ranked_facility(const Dictionary &p_entry) {
	RankedFacility ranked;
	ranked.id = text_of(p_entry.get("facility_id", ""));
	ranked.category = text_of(p_entry.get("service_category", ""));
	ranked.utility = p_entry.get("utility", 0);
	ranked.need_priority = p_entry.get("need_priority", 0);
	ranked.urgency = p_entry.get("urgency", 0);
	ranked.travel_minutes = p_entry.get("travel_minutes", 0);
	const Dictionary terms = p_entry.get("utility_terms", Dictionary());
	const Array keys = terms.keys();
	for (int64_t i = 0; i < keys.size(); i++) {
		ranked.terms.emplace_back(text_of(keys[i]), int64_t(terms[keys[i]]));
	}
	return ranked;
}

// The route to p_goal read back through the search's parents; empty when unreached.
std::vector<MapCell> route_to(const Dictionary &p_search, const veltrin_test::CellGraph &p_graph, int64_t p_goal) {
	const PackedInt64Array parents = p_search.get("parent_indices", PackedInt64Array());
	const Dictionary settled = p_search.get("settled", Dictionary());
	std::vector<MapCell> route;
	if (p_goal < 0 || p_goal >= parents.size() || !settled.has(p_graph.cells[p_goal])) {
		return route;
	}
	// A route never repeats a node, which also bounds the walk on a corrupt answer.
	for (int64_t at = p_goal; at >= 0 && at < parents.size() && int64_t(route.size()) <= parents.size(); at = parents[at]) {
		route.push_back(map_cell(p_graph.cells[at]));
	}
	std::reverse(route.begin(), route.end());
	return route;
}

void find_route(const CoreSession &p_session, DemoResort &p_resort, TimingBudget &p_budget, const DemoGuest &p_guest, const Dictionary &p_favourite, GuestOutcome &r_outcome) {
	const veltrin_test::CellGraph &graph = p_resort.graph();
	const Dictionary handle = p_favourite.get("path_handle", Dictionary());
	const Variant target = handle.get("target_cell", Variant());
	Dictionary goals;
	goals[target] = true;
	const int64_t start = graph.indices.get(p_guest.cell, int64_t(-1));
	const int64_t goal = graph.indices.get(target, int64_t(-1));

	const int64_t script_calls_before = p_resort.fixture().shared_edges_calls();
	const Clock::time_point started = Clock::now();
	const Dictionary search = p_session.call("search_cached", { graph.cells, graph.indices, start, goals, p_resort.fixture().shared_edges_provider() });
	p_budget.record(p_session, METRIC_SEARCH, microseconds_since(started));
	r_outcome.script_edge_calls = p_resort.fixture().shared_edges_calls() - script_calls_before;

	r_outcome.route_status = text_of(search.get("status", "unusable"));
	if (r_outcome.route_status != "usable") {
		return;
	}
	r_outcome.route = route_to(search, graph, goal);
	const PackedInt64Array costs = search.get("cost_values", PackedInt64Array());
	if (!r_outcome.route.empty()) {
		r_outcome.route_cost = costs[goal];
	}
}

} // namespace

GuestOutcome decide_for_guest(const CoreSession &p_session, DemoResort &p_resort, TimingBudget &p_budget, const DemoGuest &p_guest) {
	veltrin_test::ResortFixture &resort = p_resort.fixture();
	GuestOutcome outcome;
	outcome.id = text_of(p_guest.id);
	outcome.profile = p_guest.profile;
	outcome.start = map_cell(p_guest.cell);
	const Clock::time_point decision_started = Clock::now();

	Clock::time_point started = Clock::now();
	const Dictionary projection = p_session.call("project_guest_candidates", { resort.runtime(), p_guest.id, veltrin_test::FACILITY_OPEN, veltrin_test::FACILITY_DEGRADED, MOVEMENT_SCALE, STAIR_CREDIT, veltrin_test::RESORT_ORTHOGONAL_COST, resort.ticks() });
	p_budget.record(p_session, METRIC_PROJECTION, microseconds_since(started));
	if (!bool(projection.get("supported", false))) {
		return outcome;
	}
	const Array candidates = projection.get("candidates", Array());
	std::set<std::string> offered;
	for (int64_t i = 0; i < candidates.size(); i++) {
		offered.insert(text_of(Dictionary(candidates[i]).get("facility_id", "")));
	}
	for (const FacilityOnMap &facility : p_resort.facilities()) {
		if (offered.count(facility.id) == 0) {
			outcome.not_offered.push_back(facility.id);
		}
	}

	Dictionary context;
	context[StringName("absolute_minute")] = DEMO_NOW_MINUTE;
	started = Clock::now();
	const Dictionary decision = p_session.call("guest_candidate_batch", { resort.guests().service(), p_guest.id, candidates, context });
	p_budget.record(p_session, METRIC_BATCH, microseconds_since(started));
	if (!bool(decision.get("supported", false))) {
		return outcome;
	}
	outcome.decided = true;
	const Array ranked = decision.get("ranked", Array());
	for (int64_t i = 0; i < ranked.size(); i++) {
		outcome.ranked.push_back(ranked_facility(ranked[i]));
	}
	const Array rejected = decision.get("rejected", Array());
	for (int64_t i = 0; i < rejected.size(); i++) {
		const Dictionary entry = rejected[i];
		outcome.rejected.push_back(RejectedFacility { text_of(entry.get("facility_id", "")), text_of(entry.get("reason", "")) });
	}

	if (!ranked.is_empty()) {
		outcome.chosen = outcome.ranked.front().id;
		find_route(p_session, p_resort, p_budget, p_guest, ranked[0], outcome);
	}
	outcome.decision_us = microseconds_since(decision_started);
	p_budget.record(p_session, METRIC_DECISION, outcome.decision_us);
	return outcome;
}

} // namespace veltrin_demo
