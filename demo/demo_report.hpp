#pragma once

// What one demo run found, in plain values: the printers read only this.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace veltrin_demo {

struct MapCell {
	int32_t x = 0;
	int32_t y = 0;
	int32_t z = 0;
	bool operator==(const MapCell &p_other) const { return x == p_other.x && y == p_other.y && z == p_other.z; }
};

struct FacilityOnMap {
	std::string id;
	std::string kind;
	MapCell origin;
	int32_t width = 1;
	bool open = true;
};

struct RankedFacility {
	std::string id;
	std::string category;
	int64_t utility = 0;
	int64_t need_priority = 0;
	int64_t urgency = 0;
	int64_t travel_minutes = 0;
	// utility_terms, in the order the core wrote them.
	std::vector<std::pair<std::string, int64_t>> terms;
};

struct RejectedFacility {
	std::string id;
	std::string reason;
};

struct GuestOutcome {
	std::string id;
	std::string profile;
	MapCell start;
	// False when the core declined the projection or the batch (the game's script would
	// then decide itself).
	bool decided = false;
	std::vector<RankedFacility> ranked;
	std::vector<RejectedFacility> rejected;
	// Facilities the projection left out (staff only, unknown definition, ...).
	std::vector<std::string> not_offered;
	// The route to the first ranked facility, from search_cached.
	std::string chosen;
	std::string route_status;
	int64_t route_cost = 0;
	std::vector<MapCell> route;
	// Cells whose edges came from the path service's script; the rest were answered by the
	// native walking rows or the edge cache.
	int64_t script_edge_calls = 0;
	int64_t decision_us = 0;
};

struct TimingRow {
	std::string metric;
	int64_t samples = 0;
	int64_t average_us = 0;
	int64_t p95_us = 0;
	int64_t maximum_us = 0;
	int64_t limit_us = 0;
	bool budget_exceeded = false;
};

struct DiagnosticRow {
	std::string phase;
	int64_t calls = 0;
	int64_t nanoseconds = 0;
};

struct DemoReport {
	uint64_t seed = 0;
	int32_t width = 0;
	int32_t floors = 0;
	std::vector<FacilityOnMap> facilities;
	std::vector<GuestOutcome> guests;
	std::vector<TimingRow> timing;
	// Present only when the loaded plug-in has diagnostic_snapshot.
	bool has_diagnostics = false;
	std::vector<DiagnosticRow> diagnostics;
};

} // namespace veltrin_demo
