#include "ascii_map.hpp"

#include <algorithm>

namespace veltrin_demo {

namespace {

// Beyond these the map shows only the part around the route.
constexpr int32_t FULL_MAP_COLUMNS = 72;
constexpr int32_t FULL_MAP_FLOORS = 6;
constexpr int32_t ROUTE_MARGIN = 3;
constexpr size_t LETTERED_FACILITIES = 26;
constexpr size_t LEGEND_WIDTH = 80;

struct View {
	int32_t first_column = 0;
	int32_t last_column = 0;
	int32_t lowest_floor = 0;
	int32_t highest_floor = 0;
};

View view_of(const DemoReport &p_report, const GuestOutcome &p_guest) {
	View view { 0, p_report.width - 1, 0, p_report.floors - 1 };
	std::vector<MapCell> cells = p_guest.route;
	cells.push_back(p_guest.start);
	if (p_report.width > FULL_MAP_COLUMNS) {
		const auto by_x = std::minmax_element(cells.begin(), cells.end(), [](const MapCell &p_a, const MapCell &p_b) { return p_a.x < p_b.x; });
		view.first_column = std::max(0, by_x.first->x - ROUTE_MARGIN);
		view.last_column = std::min(p_report.width - 1, by_x.second->x + ROUTE_MARGIN);
	}
	if (p_report.floors > FULL_MAP_FLOORS) {
		const auto by_y = std::minmax_element(cells.begin(), cells.end(), [](const MapCell &p_a, const MapCell &p_b) { return p_a.y < p_b.y; });
		view.lowest_floor = by_y.first->y;
		view.highest_floor = by_y.second->y;
	}
	return view;
}

char facility_mark(size_t p_index) {
	return p_index < LETTERED_FACILITIES ? char('A' + p_index) : '#';
}

// The plain map of one layer of one floor: walkways, facilities, elevator and stairs.
std::string draw_row(const DemoReport &p_report, const View &p_view, int32_t p_floor, int32_t p_layer) {
	std::string row;
	for (int32_t x = p_view.first_column; x <= p_view.last_column; x++) {
		char mark = '.';
		if (p_layer == 0 && x == 0) {
			mark = MAP_ELEVATOR;
		} else if (p_layer == 0 && x == p_report.width - 1) {
			mark = MAP_STAIRS;
		}
		row.push_back(mark);
	}
	for (size_t i = 0; i < p_report.facilities.size(); i++) {
		const FacilityOnMap &facility = p_report.facilities[i];
		if (facility.origin.y != p_floor || facility.origin.z != p_layer) {
			continue;
		}
		for (int32_t x = facility.origin.x; x < facility.origin.x + facility.width; x++) {
			if (x >= p_view.first_column && x <= p_view.last_column) {
				row[size_t(x - p_view.first_column)] = facility_mark(i);
			}
		}
	}
	return row;
}

std::string pad_right(std::string p_text, size_t p_width) {
	if (p_text.size() < p_width) {
		p_text.append(p_width - p_text.size(), ' ');
	}
	return p_text;
}

} // namespace

std::vector<std::string> draw_route_map(const DemoReport &p_report, const GuestOutcome &p_guest) {
	const View view = view_of(p_report, p_guest);
	const size_t label_width = 16;
	std::vector<std::string> lines;

	std::string ruler;
	for (int32_t x = view.first_column; x <= view.last_column; x++) {
		ruler.push_back(char('0' + x % 10));
	}
	lines.push_back(pad_right("x", label_width) + ruler);

	for (int32_t floor = view.highest_floor; floor >= view.lowest_floor; floor--) {
		for (int32_t layer = 1; layer >= 0; layer--) {
			std::string row = draw_row(p_report, view, floor, layer);
			for (size_t i = 0; i < p_guest.route.size(); i++) {
				const MapCell &cell = p_guest.route[i];
				if (cell.y != floor || cell.z != layer || cell.x < view.first_column || cell.x > view.last_column) {
					continue;
				}
				row[size_t(cell.x - view.first_column)] = i + 1 == p_guest.route.size() ? MAP_GOAL : MAP_ROUTE;
			}
			const MapCell &start = p_guest.start;
			if (start.y == floor && start.z == layer && start.x >= view.first_column && start.x <= view.last_column) {
				row[size_t(start.x - view.first_column)] = MAP_START;
			}
			const std::string label = layer == 1 ? "floor " + std::to_string(floor) + " back" : "        front";
			lines.push_back(pad_right(label, label_width) + row);
		}
	}

	std::vector<std::string> legend = { "@ start", "* route", "X arrival", "| elevator", "/ stairs" };
	for (size_t i = 0; i < p_report.facilities.size() && i < LETTERED_FACILITIES; i++) {
		const FacilityOnMap &facility = p_report.facilities[i];
		const bool in_view = facility.origin.y >= view.lowest_floor && facility.origin.y <= view.highest_floor && facility.origin.x + facility.width > view.first_column && facility.origin.x <= view.last_column;
		if (in_view) {
			legend.push_back(std::string(1, facility_mark(i)) + " " + facility.id + (facility.open ? "" : " (closed)"));
		}
	}
	if (p_report.facilities.size() > LETTERED_FACILITIES) {
		legend.push_back("# other facilities");
	}
	if (view.first_column > 0 || view.last_column < p_report.width - 1 || view.lowest_floor > 0 || view.highest_floor < p_report.floors - 1) {
		legend.push_back("(columns " + std::to_string(view.first_column) + "-" + std::to_string(view.last_column) + ", floors " + std::to_string(view.lowest_floor) + "-" + std::to_string(view.highest_floor) + " shown)");
	}
	std::string line;
	for (const std::string &item : legend) {
		if (!line.empty() && line.size() + 2 + item.size() > LEGEND_WIDTH) {
			lines.push_back(line);
			line.clear();
		}
		line += (line.empty() ? "" : "  ") + item;
	}
	lines.push_back(line);
	return lines;
}

} // namespace veltrin_demo
