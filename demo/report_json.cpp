#include "report_json.hpp"

#include <cstdio>
#include <string>

namespace veltrin_demo {

namespace {

std::string quoted(const std::string &p_text) {
	std::string out = "\"";
	for (const char c : p_text) {
		switch (c) {
			case '"':
				out += "\\\"";
				break;
			case '\\':
				out += "\\\\";
				break;
			case '\n':
				out += "\\n";
				break;
			default:
				if (static_cast<unsigned char>(c) < 0x20) {
					char escaped[8];
					std::snprintf(escaped, sizeof(escaped), "\\u%04x", static_cast<unsigned>(c));
					out += escaped;
				} else {
					out += c;
				}
		}
	}
	return out + "\"";
}

std::string cell_json(const MapCell &p_cell) {
	return "[" + std::to_string(p_cell.x) + "," + std::to_string(p_cell.y) + "," + std::to_string(p_cell.z) + "]";
}

std::string ranked_json(const RankedFacility &p_facility, size_t p_rank) {
	std::string terms;
	for (const auto &term : p_facility.terms) {
		terms += (terms.empty() ? "" : ",") + quoted(term.first) + ":" + std::to_string(term.second);
	}
	return "{\"rank\":" + std::to_string(p_rank) + ",\"facility_id\":" + quoted(p_facility.id) + ",\"category\":" + quoted(p_facility.category) +
	        ",\"utility\":" + std::to_string(p_facility.utility) + ",\"need_priority\":" + std::to_string(p_facility.need_priority) +
	        ",\"urgency\":" + std::to_string(p_facility.urgency) + ",\"travel_minutes\":" + std::to_string(p_facility.travel_minutes) +
	        ",\"terms\":{" + terms + "}}";
}

std::string route_json(const GuestOutcome &p_guest) {
	if (p_guest.chosen.empty()) {
		return "null";
	}
	std::string cells;
	for (const MapCell &cell : p_guest.route) {
		cells += (cells.empty() ? "" : ",") + cell_json(cell);
	}
	return "{\"facility_id\":" + quoted(p_guest.chosen) + ",\"status\":" + quoted(p_guest.route_status) + ",\"cost\":" + std::to_string(p_guest.route_cost) +
	        ",\"script_edge_calls\":" + std::to_string(p_guest.script_edge_calls) + ",\"cells\":[" + cells + "]}";
}

void print_guest(const GuestOutcome &p_guest, bool p_timing, std::ostream &r_out) {
	r_out << "{\"guest_id\":" << quoted(p_guest.id) << ",\"profile\":" << quoted(p_guest.profile) << ",\"start\":" << cell_json(p_guest.start)
	      << ",\"decided\":" << (p_guest.decided ? "true" : "false") << ",\n    \"ranked\":[";
	for (size_t i = 0; i < p_guest.ranked.size(); i++) {
		r_out << (i == 0 ? "\n      " : ",\n      ") << ranked_json(p_guest.ranked[i], i + 1);
	}
	r_out << "],\n    \"rejected\":[";
	for (size_t i = 0; i < p_guest.rejected.size(); i++) {
		r_out << (i == 0 ? "" : ",") << "{\"facility_id\":" << quoted(p_guest.rejected[i].id) << ",\"reason\":" << quoted(p_guest.rejected[i].reason) << "}";
	}
	r_out << "],\n    \"not_offered\":[";
	for (size_t i = 0; i < p_guest.not_offered.size(); i++) {
		r_out << (i == 0 ? "" : ",") << quoted(p_guest.not_offered[i]);
	}
	r_out << "],\n    \"route\":" << route_json(p_guest);
	if (p_timing) {
		r_out << ",\n    \"time_us\":" << p_guest.decision_us;
	}
	r_out << "}";
}

} // namespace

void print_json_report(const DemoReport &p_report, bool p_timing, std::ostream &r_out) {
	r_out << "{\"resort\":{\"facilities\":" << p_report.facilities.size() << ",\"guests\":" << p_report.guests.size() << ",\"floors\":" << p_report.floors
	      << ",\"width\":" << p_report.width << ",\"seed\":" << p_report.seed << "},\n\"guests\":[";
	for (size_t i = 0; i < p_report.guests.size(); i++) {
		r_out << (i == 0 ? "\n  " : ",\n  ");
		print_guest(p_report.guests[i], p_timing, r_out);
	}
	r_out << "]";
	if (p_timing) {
		r_out << ",\n\"timing\":[";
		for (size_t i = 0; i < p_report.timing.size(); i++) {
			const TimingRow &row = p_report.timing[i];
			r_out << (i == 0 ? "\n  " : ",\n  ") << "{\"metric\":" << quoted(row.metric) << ",\"samples\":" << row.samples << ",\"average_us\":" << row.average_us
			      << ",\"p95_us\":" << row.p95_us << ",\"maximum_us\":" << row.maximum_us << ",\"limit_us\":" << row.limit_us
			      << ",\"budget_exceeded\":" << (row.budget_exceeded ? "true" : "false") << "}";
		}
		r_out << "]";
	}
	if (p_report.has_diagnostics) {
		r_out << ",\n\"diagnostics\":[";
		for (size_t i = 0; i < p_report.diagnostics.size(); i++) {
			const DiagnosticRow &row = p_report.diagnostics[i];
			r_out << (i == 0 ? "\n  " : ",\n  ") << "{\"phase\":" << quoted(row.phase) << ",\"calls\":" << row.calls;
			if (p_timing) {
				r_out << ",\"nanoseconds\":" << row.nanoseconds;
			}
			r_out << "}";
		}
		r_out << "]";
	}
	r_out << "}\n";
}

} // namespace veltrin_demo
