#include "report_text.hpp"

#include "ascii_map.hpp"

#include <algorithm>
#include <string>
#include <vector>

namespace veltrin_demo {

namespace {

// The utility terms shown beside each ranked facility, as the batch names them.
const char *const SHOWN_TERMS[][2] = {
	{ "need_relief", "relief" },
	{ "preference", "pref" },
	{ "expected_quality", "quality" },
	{ "price_burden", "price%" },
	{ "travel_minutes", "walk" },
	{ "wait_minutes", "wait" },
};

// Columns of a table: numbers right-aligned, text left-aligned, by what the column holds
// below its header.
class Table {
	std::vector<std::vector<std::string>> rows;

	static bool is_number(const std::string &p_text) {
		return !p_text.empty() && p_text.find_first_not_of("-0123456789") == std::string::npos;
	}

public:
	void add(std::vector<std::string> p_row) { rows.push_back(std::move(p_row)); }
	void print(std::ostream &r_out, const std::string &p_indent) const {
		std::vector<size_t> widths;
		std::vector<bool> numeric;
		for (size_t r = 0; r < rows.size(); r++) {
			widths.resize(std::max(widths.size(), rows[r].size()), 0);
			numeric.resize(widths.size(), true);
			for (size_t i = 0; i < rows[r].size(); i++) {
				widths[i] = std::max(widths[i], rows[r][i].size());
				if (r > 0 && !is_number(rows[r][i])) {
					numeric[i] = false;
				}
			}
		}
		for (const auto &row : rows) {
			std::string line = p_indent;
			for (size_t i = 0; i < row.size(); i++) {
				const std::string padding(widths[i] - row[i].size(), ' ');
				line += (i == 0 ? "" : "  ") + (numeric[i] ? padding + row[i] : row[i] + padding);
			}
			while (!line.empty() && line.back() == ' ') {
				line.pop_back();
			}
			r_out << line << '\n';
		}
	}
};

int64_t term_of(const RankedFacility &p_facility, const char *p_name) {
	for (const auto &term : p_facility.terms) {
		if (term.first == p_name) {
			return term.second;
		}
	}
	return 0;
}

std::string layer_name(int32_t p_layer) {
	return p_layer == 0 ? "front" : "back";
}

void print_guest(const DemoReport &p_report, const GuestOutcome &p_guest, bool p_timing, std::ostream &r_out) {
	r_out << "\n== Guest " << p_guest.id << ": " << p_guest.profile << '\n';
	r_out << "   starts on floor " << p_guest.start.y << ", " << layer_name(p_guest.start.z) << " layer, column " << p_guest.start.x;
	if (p_timing) {
		r_out << "; decided in " << p_guest.decision_us << " us";
	}
	r_out << '\n';
	if (!p_guest.decided) {
		r_out << "   The core declined this guest (the game's script would decide instead).\n";
		return;
	}

	r_out << "\n   Ranked (best first)\n";
	if (p_guest.ranked.empty()) {
		r_out << "     nothing acceptable\n";
	} else {
		Table table;
		std::vector<std::string> header = { "#", "facility", "category", "utility", "need" };
		for (const auto &term : SHOWN_TERMS) {
			header.push_back(term[1]);
		}
		table.add(header);
		for (size_t i = 0; i < p_guest.ranked.size(); i++) {
			const RankedFacility &facility = p_guest.ranked[i];
			std::vector<std::string> row = { std::to_string(i + 1), facility.id, facility.category, std::to_string(facility.utility), std::to_string(facility.need_priority) };
			for (const auto &term : SHOWN_TERMS) {
				row.push_back(std::to_string(term_of(facility, term[0])));
			}
			table.add(row);
		}
		table.print(r_out, "     ");
	}

	r_out << "\n   Rejected\n";
	if (p_guest.rejected.empty()) {
		r_out << "     none\n";
	} else {
		Table table;
		for (const RejectedFacility &facility : p_guest.rejected) {
			table.add({ facility.id, facility.reason });
		}
		table.print(r_out, "     ");
	}
	if (!p_guest.not_offered.empty()) {
		std::string names;
		for (const std::string &id : p_guest.not_offered) {
			names += (names.empty() ? "" : ", ") + id;
		}
		r_out << "     not offered to guests: " << names << '\n';
	}

	if (p_guest.chosen.empty()) {
		return;
	}
	r_out << "\n   Route to " << p_guest.chosen << ": ";
	if (p_guest.route.empty()) {
		r_out << "none (search " << p_guest.route_status << ")\n";
		return;
	}
	r_out << p_guest.route.size() - 1 << " steps, cost " << p_guest.route_cost << "; " << p_guest.script_edge_calls << " cells asked of the path service's script, the rest walked natively or from the edge cache\n";
	for (const std::string &line : draw_route_map(p_report, p_guest)) {
		r_out << "     " << line << '\n';
	}
}

void print_timing(const DemoReport &p_report, std::ostream &r_out) {
	r_out << "\n== Timing (performance_record_sample into the performance budget)\n";
	Table table;
	table.add({ "metric", "samples", "average us", "p95 us", "max us", "budget (p95)" });
	for (const TimingRow &row : p_report.timing) {
		const std::string budget = row.limit_us <= 0 ? "-" : std::to_string(row.limit_us) + (row.budget_exceeded ? " EXCEEDED" : " ok");
		table.add({ row.metric, std::to_string(row.samples), std::to_string(row.average_us), std::to_string(row.p95_us), std::to_string(row.maximum_us), budget });
	}
	table.print(r_out, "   ");
}

void print_diagnostics(const DemoReport &p_report, bool p_timing, std::ostream &r_out) {
	r_out << "\n== Core phases (diagnostic_snapshot)\n";
	Table table;
	table.add(p_timing ? std::vector<std::string> { "phase", "calls", "total us" } : std::vector<std::string> { "phase", "calls" });
	for (const DiagnosticRow &row : p_report.diagnostics) {
		std::vector<std::string> cells = { row.phase, std::to_string(row.calls) };
		if (p_timing) {
			cells.push_back(std::to_string(row.nanoseconds / 1000));
		}
		table.add(cells);
	}
	table.print(r_out, "   ");
}

} // namespace

void print_text_report(const DemoReport &p_report, bool p_timing, std::ostream &r_out) {
	r_out << "Veltrin numeric core demo: " << p_report.facilities.size() << " facilities on " << p_report.floors << " floors ("
	      << p_report.width << " columns, front and back layer), " << p_report.guests.size() << " guests, seed " << p_report.seed << '\n';
	for (const GuestOutcome &guest : p_report.guests) {
		print_guest(p_report, guest, p_timing, r_out);
	}
	if (p_timing) {
		print_timing(p_report, r_out);
	}
	if (p_report.has_diagnostics) {
		print_diagnostics(p_report, p_timing, r_out);
	}
}

} // namespace veltrin_demo
