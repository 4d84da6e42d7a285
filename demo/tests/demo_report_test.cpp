// The demo run end to end: the plug-in loaded as the engine loads it, the decisions of the
// built-in guests, the text and JSON reports agreeing, and the scaled resort staying fast.

#include "demo_program.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <set>

namespace veltrin_demo_test {
namespace {

const std::vector<std::string> BUILT_IN_GUESTS = { "ada", "bruno", "chiyo" };
const std::set<std::string> REASON_CODES = { "ADULT_NOT_VERIFIED", "CANNOT_PAY", "CONTENT_FILTERED", "ETA_AFTER_EXIT", "FACILITY_CLOSED",
	"FORBIDDEN_GUEST_TAG", "GUEST_TYPE_NOT_ALLOWED", "ILLEGALITY_REFUSED", "INVALID_NEED_MAP", "MISSING_INPUTS", "MISSING_PERMISSION",
	"QUALITY_TOO_LOW", "RISK_REFUSED", "UNREACHABLE", "WAIT_HARD_LIMIT" };

std::string guest_section(const std::string &p_report, const std::string &p_guest) {
	for (const std::string &section : text_sections(p_report)) {
		if (section.rfind("== Guest " + p_guest + ":", 0) == 0) {
			return section;
		}
	}
	return std::string();
}

JsonValue json_of(const DemoRun &p_run) {
	JsonValue report;
	std::string error;
	EXPECT_TRUE(read_json(p_run.out, report, error)) << error << "\n"
	                                                 << p_run.out;
	return report;
}

std::vector<std::string> json_ids(const JsonValue &p_entries) {
	std::vector<std::string> ids;
	for (const JsonValue &entry : p_entries.items) {
		ids.push_back(entry["facility_id"].text);
	}
	return ids;
}

TEST(DemoTextReport, EachGuestGetsARankingRefusalsAndARouteOnTheMap) {
	const DemoRun run = run_demo({});
	ASSERT_EQ(run.exit_code, 0) << run.err;
	EXPECT_EQ(run.err, "");
	for (const std::string &guest : BUILT_IN_GUESTS) {
		SCOPED_TRACE(guest);
		const std::string section = guest_section(run.out, guest);
		ASSERT_FALSE(section.empty());
		const std::vector<std::string> ranked = ranked_ids(section);
		ASSERT_FALSE(ranked.empty());
		const auto rejected = rejected_entries(section);
		ASSERT_FALSE(rejected.empty());
		for (const auto &entry : rejected) {
			EXPECT_EQ(REASON_CODES.count(entry.second), 1u) << entry.first << " " << entry.second;
		}

		// The favourite's route: every cell after the start is drawn, the last as the arrival.
		std::smatch route;
		ASSERT_TRUE(std::regex_search(section, route, std::regex("Route to (\\w+): (\\d+) steps")));
		EXPECT_EQ(route[1].str(), ranked.front());
		const long steps = std::stol(route[2].str());
		long drawn = 0;
		long arrivals = 0;
		long starts = 0;
		for (const std::string &line : map_lines(section)) {
			if (line.find(" back ") == std::string::npos && line.find(" front ") == std::string::npos) {
				continue;
			}
			drawn += std::count(line.begin(), line.end(), '*');
			arrivals += std::count(line.begin(), line.end(), 'X');
			starts += std::count(line.begin(), line.end(), '@');
		}
		EXPECT_GT(steps, 0);
		EXPECT_EQ(drawn, steps - 1);
		EXPECT_EQ(arrivals, 1);
		EXPECT_EQ(starts, 1);
	}
	// Guests differ: the backpacker cannot afford what the high roller can.
	EXPECT_NE(ranked_ids(guest_section(run.out, "bruno")), ranked_ids(guest_section(run.out, "chiyo")));

	EXPECT_NE(run.out.find("== Timing"), std::string::npos);
#ifdef VELTRIN_DIAGNOSTICS
	EXPECT_NE(run.out.find("== Core phases (diagnostic_snapshot)"), std::string::npos);
#else
	EXPECT_EQ(run.out.find("diagnostic_snapshot"), std::string::npos);
#endif
}

TEST(DemoJsonReport, ParsesAndRanksAsTheTextReportDoes) {
	const DemoRun text = run_demo({ "--no-timing" });
	const DemoRun json = run_demo({ "--json", "--no-timing" });
	ASSERT_EQ(text.exit_code, 0) << text.err;
	ASSERT_EQ(json.exit_code, 0) << json.err;
	const JsonValue report = json_of(json);
	const JsonValue &guests = report["guests"];
	ASSERT_EQ(guests.items.size(), BUILT_IN_GUESTS.size());
	for (size_t i = 0; i < guests.items.size(); i++) {
		const JsonValue &guest = guests.items[i];
		SCOPED_TRACE(guest["guest_id"].text);
		EXPECT_EQ(guest["guest_id"].text, BUILT_IN_GUESTS[i]);
		const std::string section = guest_section(text.out, guest["guest_id"].text);
		EXPECT_EQ(json_ids(guest["ranked"]), ranked_ids(section));
		std::vector<std::pair<std::string, std::string>> rejected;
		for (const JsonValue &entry : guest["rejected"].items) {
			rejected.emplace_back(entry["facility_id"].text, entry["reason"].text);
		}
		EXPECT_EQ(rejected, rejected_entries(section));

		// Ranks follow the batch's order keys: need priority first, then utility.
		const std::vector<JsonValue> &ranked = guest["ranked"].items;
		for (size_t r = 1; r < ranked.size(); r++) {
			const double before = ranked[r - 1]["need_priority"].number;
			const double after = ranked[r]["need_priority"].number;
			EXPECT_TRUE(before > after || (before == after && ranked[r - 1]["utility"].number >= ranked[r]["utility"].number)) << r;
		}

		// The route walks from the guest's cell one step at a time (a floor change is one
		// step through the elevator or the stairs).
		const JsonValue &route = guest["route"];
		EXPECT_EQ(route["status"].text, "usable");
		const std::vector<JsonValue> &cells = route["cells"].items;
		ASSERT_FALSE(cells.empty());
		EXPECT_EQ(cells.front().items.size(), 3u);
		for (size_t c = 0; c < 3; c++) {
			EXPECT_EQ(cells.front().items[c].number, guest["start"].items[c].number);
		}
		for (size_t c = 1; c < cells.size(); c++) {
			double distance = 0;
			for (size_t axis = 0; axis < 3; axis++) {
				distance += std::abs(cells[c].items[axis].number - cells[c - 1].items[axis].number);
			}
			EXPECT_EQ(distance, 1) << "step " << c;
		}
		EXPECT_GE(route["cost"].number, 100.0 * double(cells.size() - 1));
		EXPECT_FALSE(guest.has("time_us"));
	}
	EXPECT_FALSE(report.has("timing"));
}

TEST(DemoJsonReport, ReportsTimingsFromThePerformanceBudget) {
	const DemoRun run = run_demo({ "--json" });
	ASSERT_EQ(run.exit_code, 0) << run.err;
	const JsonValue report = json_of(run);
	std::vector<std::string> metrics;
	for (const JsonValue &row : report["timing"].items) {
		metrics.push_back(row["metric"].text);
		// One sample per guest and metric.
		EXPECT_EQ(row["samples"].number, 3) << row["metric"].text;
		EXPECT_LE(row["average_us"].number, row["maximum_us"].number);
		EXPECT_LE(row["p95_us"].number, row["maximum_us"].number);
	}
	EXPECT_EQ(metrics, std::vector<std::string>({ "project_guest_candidates", "guest_candidate_batch", "search_cached", "guest_decision" }));
#ifdef VELTRIN_DIAGNOSTICS
	ASSERT_EQ(report["diagnostics"].items.size(), 12u);
	EXPECT_EQ(report["diagnostics"].items[0]["phase"].text, "projection_total");
	EXPECT_EQ(report["diagnostics"].items[0]["calls"].number, 3);
#else
	EXPECT_FALSE(report.has("diagnostics"));
#endif
}

TEST(DemoScaledResort, SameSeedSameReportAndTheSeedMatters) {
	const std::vector<std::string> scaled = { "--facilities", "60", "--guests", "5", "--no-timing" };
	std::vector<std::string> seven = scaled;
	seven.insert(seven.end(), { "--seed", "7" });
	std::vector<std::string> eight = scaled;
	eight.insert(eight.end(), { "--seed", "8" });
	const DemoRun first = run_demo(seven);
	const DemoRun second = run_demo(seven);
	const DemoRun other = run_demo(eight);
	ASSERT_EQ(first.exit_code, 0) << first.err;
	EXPECT_EQ(first.out, second.out);
	EXPECT_NE(first.out, other.out);
	seven.push_back("--json");
	EXPECT_EQ(run_demo(seven).out, run_demo(seven).out);
}

TEST(DemoScaledResort, AThousandFacilitiesAnswerWellUnderASecondPerGuest) {
#ifdef VELTRIN_DEMO_SANITIZED
	// The sanitizers slow the engine double's calls many times over.
	const double limit_us = 20e6;
#else
	const double limit_us = 1e6;
#endif
	const DemoRun run = run_demo({ "--facilities", "1000", "--guests", "3", "--json" });
	ASSERT_EQ(run.exit_code, 0) << run.err;
	const JsonValue report = json_of(run);
	EXPECT_EQ(report["resort"]["facilities"].number, 1000);
	ASSERT_EQ(report["guests"].items.size(), 3u);
	for (const JsonValue &guest : report["guests"].items) {
		SCOPED_TRACE(guest["guest_id"].text);
		EXPECT_TRUE(guest["decided"].boolean);
		EXPECT_FALSE(guest["ranked"].items.empty());
		EXPECT_EQ(guest["route"]["status"].text, "usable");
		ASSERT_EQ(guest["time_us"].kind, JsonValue::Kind::NUMBER);
		EXPECT_LT(guest["time_us"].number, limit_us);
	}
}

} // namespace
} // namespace veltrin_demo_test
