// The report: key order and types, percentile ranks, aggregations, the budget test and the
// lifetime totals at the edges of 64-bit arithmetic.

#include "budget_fixture.hpp"

#include <algorithm>
#include <limits>
#include <random>

using namespace godot;

namespace {

constexpr int64_t INT64_MAXIMUM = std::numeric_limits<int64_t>::max();
constexpr int64_t INT64_MINIMUM = std::numeric_limits<int64_t>::min();

std::vector<std::string> key_texts(const Dictionary &p_dictionary) {
	std::vector<std::string> texts;
	const Array keys = p_dictionary.keys();
	for (int64_t i = 0; i < keys.size(); i++) {
		EXPECT_EQ(keys.get(i).get_type(), Variant::STRING_NAME);
		texts.push_back(String(keys.get(i)).utf8().get_data());
	}
	return texts;
}

} // namespace

class BudgetReportTest : public BudgetTest {
protected:
	void set_budget(int64_t p_aggregation, int64_t p_limit) {
		Dictionary entry;
		entry["aggregation"] = p_aggregation;
		entry["limit_us"] = p_limit;
		container("_budgets")[metric] = entry;
	}
};

TEST_F(BudgetReportTest, KeysInOrderWithTheirTypes) {
	const Dictionary answer = record(12);
	EXPECT_EQ(key_texts(answer), std::vector<std::string>({ "supported", "report" }));
	EXPECT_EQ(answer.get("supported", Variant()), Variant(true));

	const Dictionary report = answer.get("report", Dictionary());
	EXPECT_EQ(key_texts(report), std::vector<std::string>({ "metric_id", "window_sample_count", "lifetime_sample_count", "average_us", "p95_us", "maximum_us", "aggregation", "measured_us", "limit_us", "budget_exceeded" }));
	EXPECT_EQ(report.get("metric_id", Variant()).get_type(), Variant::STRING_NAME);
	EXPECT_EQ(report.get("metric_id", Variant()), Variant(metric));
	EXPECT_EQ(report.get("budget_exceeded", Variant()), Variant(false));
	EXPECT_EQ(report.get("aggregation", Variant()), Variant(int64_t(1)));
	EXPECT_EQ(report.get("limit_us", Variant()), Variant(int64_t(0)));
}

TEST_F(BudgetReportTest, NearestRankPercentile) {
	// Samples 1..n arrive shuffled; the percentile of rank k is then the value k.
	const std::vector<std::pair<int64_t, int64_t>> ranks = { { 1, 1 }, { 10, 10 }, { 20, 19 }, { 21, 20 }, { 100, 95 } };
	std::mt19937_64 random(7);
	for (const auto &[count, rank] : ranks) {
		budget = make_budget(BUDGET_SCRIPT, count);
		std::vector<int64_t> samples;
		for (int64_t value = 1; value <= count; value++) {
			samples.push_back(value);
		}
		std::shuffle(samples.begin(), samples.end(), random);
		Dictionary report;
		for (int64_t sample : samples) {
			report = report_of(sample);
		}
		EXPECT_EQ(int64_t(report["p95_us"]), rank) << "n = " << count;
		EXPECT_EQ(int64_t(report["maximum_us"]), count) << "n = " << count;
	}
}

TEST_F(BudgetReportTest, NegativeSamplesCountForThePercentileNotTheMaximum) {
	Array negatives;
	for (int64_t value = -20; value <= -1; value++) {
		negatives.push_back(value);
	}
	container("_samples")[metric] = negatives;
	set_capacity(30);

	const Dictionary report = report_of(5);

	EXPECT_EQ(int64_t(report["p95_us"]), -1);
	EXPECT_EQ(int64_t(report["maximum_us"]), 5);
	EXPECT_EQ(int64_t(report["window_sample_count"]), 21);
}

TEST_F(BudgetReportTest, AggregationSelectsTheMeasuredValue) {
	// Window 1..20 after the call: average 210 / 20 = 10, rank 19 of 20, maximum 20.
	const std::vector<std::pair<int64_t, int64_t>> measured = { { 0, 10 }, { 1, 19 }, { 2, 20 }, { 7, 19 }, { -1, 19 } };
	for (const auto &[aggregation, expected] : measured) {
		budget = make_budget(BUDGET_SCRIPT, 20);
		Array window_values;
		for (int64_t value = 1; value <= 19; value++) {
			window_values.push_back(value);
		}
		container("_samples")[metric] = window_values;
		container("_totals")[metric] = int64_t(190);
		container("_sample_counts")[metric] = int64_t(19);
		set_budget(aggregation, 0);

		const Dictionary report = report_of(20);
		EXPECT_EQ(int64_t(report["aggregation"]), aggregation);
		EXPECT_EQ(int64_t(report["measured_us"]), expected) << "aggregation " << aggregation;
	}
}

TEST_F(BudgetReportTest, BudgetExceededOnlyAboveAPositiveLimit) {
	set_budget(0, 100);
	container("_totals")[metric] = int64_t(100);
	container("_sample_counts")[metric] = int64_t(1);
	EXPECT_EQ(report_of(102)["budget_exceeded"], Variant(true)); // average 101

	container("_totals")[metric] = int64_t(100);
	container("_sample_counts")[metric] = int64_t(1);
	const Dictionary at_limit = report_of(100);
	EXPECT_EQ(int64_t(at_limit["measured_us"]), 100);
	EXPECT_EQ(at_limit["budget_exceeded"], Variant(false));

	set_budget(2, 0);
	EXPECT_EQ(report_of(1000000)["budget_exceeded"], Variant(false));
	set_budget(2, -5);
	EXPECT_EQ(report_of(1000000)["budget_exceeded"], Variant(false));
}

TEST_F(BudgetReportTest, LifetimeTotalsWrapAround) {
	container("_totals")[metric] = INT64_MAXIMUM;
	container("_sample_counts")[metric] = int64_t(5);
	Dictionary report = report_of(1);
	EXPECT_EQ(container("_totals").get(metric, Variant()), Variant(INT64_MINIMUM));
	EXPECT_EQ(int64_t(report["average_us"]), INT64_MINIMUM / 6);

	container("_sample_counts")[metric] = INT64_MAXIMUM;
	report = report_of(1);
	EXPECT_EQ(int64_t(report["lifetime_sample_count"]), INT64_MINIMUM);
	EXPECT_EQ(int64_t(report["average_us"]), 0);

	// A count of -1 would divide by zero.
	container("_sample_counts")[metric] = int64_t(-1);
	report = report_of(1);
	EXPECT_EQ(int64_t(report["lifetime_sample_count"]), 0);
	EXPECT_EQ(int64_t(report["average_us"]), 0);

	container("_totals")[metric] = int64_t(-7);
	container("_sample_counts")[metric] = int64_t(1);
	EXPECT_EQ(int64_t(report_of(0)["average_us"]), -3);
}

#ifdef VELTRIN_DIAGNOSTICS
TEST_F(BudgetReportTest, CountsNoDiagnosticPhase) {
	host->call(core, "diagnostic_reset");
	const Dictionary before = host->call(core, "diagnostic_snapshot");
	report_of(3);
	EXPECT_EQ(Dictionary(host->call(core, "diagnostic_snapshot")), before);
}
#endif
