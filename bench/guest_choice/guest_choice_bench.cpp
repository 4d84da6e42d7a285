// One guest choosing among 200 candidate rows shaped as the projection builds them, a third
// of them refused by various rules: guest_candidate_batch called by name through the engine
// double's host, against the copies the batch cannot avoid (every candidate deep-copied
// twice: once for its row, once for its evaluated copy). Prints the ratio at the end.

#include "crossing_counters.hpp"
#include "guest_service_fixture.hpp"

#include "plugin_session.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/host.hpp>

#include <benchmark/benchmark.h>

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace godot;

namespace {

constexpr int64_t CANDIDATE_COUNT = 200;

engine_double::PluginHost *host = nullptr;
Variant core;
std::unique_ptr<veltrin_test::GuestServiceFixture> service;
Array facilities;

const char *const TAG_SETS[][2] = {
	{ "dining", "social" },
	{ "lodging", "wellness" },
	{ "bath", "hygiene" },
	{ "leisure", "social" },
	{ "medical", "wellness" },
};
const char *const CATEGORIES[] = { "food", "lodging", "service", "leisure", "service" };
const char *const NEEDS[] = { "hunger", "sleep", "hygiene", "medical", "leisure" };

// A full projection row; every third one is refused by one of six rules.
Dictionary projection_row(int64_t p_index) {
	const String id = String("facility_") + String::num_int64(p_index);
	Dictionary row;
	row[StringName("facility_id")] = StringName(id);
	const int64_t kind = p_index % 5;
	if (p_index % 3 == 0 && (p_index / 3) % 6 == 0) {
		// The short row of a facility that lacks an inventory input.
		row[StringName("inputs_available")] = false;
		return row;
	}
	row[StringName("facility_tags")] = Array::make(StringName(TAG_SETS[kind][0]), StringName(TAG_SETS[kind][1]));
	row[StringName("is_open")] = !(p_index % 3 == 0 && (p_index / 3) % 6 == 1);
	row[StringName("reachable")] = !(p_index % 3 == 0 && (p_index / 3) % 6 == 2);
	row[StringName("travel_minutes")] = p_index % 3 == 0 && (p_index / 3) % 6 == 3 ? int64_t(5000) : int64_t(3 + p_index % 17);
	row[StringName("expected_wait")] = p_index % 3 == 0 && (p_index / 3) % 6 == 4 ? int64_t(400) : int64_t(p_index % 11);
	row[StringName("estimated_total_gold")] = p_index % 3 == 0 && (p_index / 3) % 6 == 5 ? int64_t(90000) : int64_t(5 + p_index % 40);
	row[StringName("expected_quality")] = int64_t(40 + p_index % 60);
	Dictionary relief;
	relief[StringName(NEEDS[kind])] = int64_t(20 + p_index % 70);
	relief[StringName(NEEDS[(kind + 2) % 5])] = int64_t(10);
	row[StringName("need_relief")] = relief;
	row[StringName("risk_level")] = int64_t(0);
	row[StringName("illegal_level")] = int64_t(0);
	row[StringName("group_fit")] = int64_t(5 * (1 + p_index % 4));
	row[StringName("service_category")] = StringName(CATEGORIES[kind]);
	Dictionary handle;
	handle[StringName("target_cell")] = Vector3i(int32_t(p_index % 40), int32_t(p_index % 7), int32_t(p_index % 2));
	handle[StringName("graph_revision")] = int64_t(12);
	row[StringName("path_handle")] = handle;
	return row;
}

void set_up_guest() {
	service = std::make_unique<veltrin_test::GuestServiceFixture>(int64_t(600));
	veltrin_test::GuestValues guest;
	guest.wallet_gold = int64_t(800);
	guest.planned_exit_at = int64_t(2000);
	guest.needs = veltrin_test::guest_needs(70, 40, 30, 10, 55, 0);
	guest.visited_facility_ids = Array::make("facility_4", "facility_8", "facility_15");
	service->add_guest("g1", guest);
	veltrin_test::GuestDefinitionValues definition;
	Dictionary weights;
	weights[StringName("dining")] = int64_t(4);
	weights[StringName("wellness")] = int64_t(2);
	weights[StringName("social")] = int64_t(-1);
	definition.preference_weights = weights;
	service->add_definition("tourist", definition);
	for (int64_t i = 0; i < CANDIDATE_COUNT; i++) {
		facilities.append(projection_row(i));
	}
}

void guest_batch(benchmark::State &p_state) {
	const Variant owner = service->service_variant();
	const Dictionary context;
	const Dictionary first = host->call(core, "guest_candidate_batch", { owner, StringName("g1"), facilities, context });
	const int64_t rejected = Array(first.get("rejected", Array())).size();
	if (!bool(first.get("supported", false)) || rejected < CANDIDATE_COUNT / 3) {
		p_state.SkipWithError("the batch declined or refused too few rows");
		return;
	}
	const CrossingCounters crossings;
	for (auto _ : p_state) {
		const Dictionary result = host->call(core, "guest_candidate_batch", { owner, StringName("g1"), facilities, context });
		benchmark::DoNotOptimize(result.size());
	}
	p_state.SetItemsProcessed(int64_t(p_state.iterations()) * CANDIDATE_COUNT);
	crossings.report(p_state, double(CANDIDATE_COUNT));
	p_state.counters["rejected"] = double(rejected);
}

// The baseline: the two deep copies of each candidate that the batch must make.
void copy_candidates_twice() {
	for (int64_t i = 0; i < CANDIDATE_COUNT; i++) {
		const Dictionary candidate = facilities[i];
		const Dictionary row_copy = candidate.duplicate(true);
		const Dictionary evaluated_copy = row_copy.duplicate(true);
		benchmark::DoNotOptimize(evaluated_copy.size());
	}
}

void deep_copies_twice(benchmark::State &p_state) {
	for (auto _ : p_state) {
		copy_candidates_twice();
	}
	p_state.SetItemsProcessed(int64_t(p_state.iterations()) * CANDIDATE_COUNT);
}

double thread_cpu_seconds() {
	timespec now {};
	clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
	return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Both workloads alternately in every iteration, so that a busy machine slows them alike:
// the batch's CPU time over the copies' CPU time, from the fastest run of each (the least
// disturbed by other processes) and from the totals.
void batch_over_copies(benchmark::State &p_state) {
	const Variant owner = service->service_variant();
	const Dictionary context;
	double batch_total = 0;
	double copy_total = 0;
	double batch_fastest = 1e9;
	double copy_fastest = 1e9;
	for (auto _ : p_state) {
		const double start = thread_cpu_seconds();
		copy_candidates_twice();
		const double copied = thread_cpu_seconds();
		const Dictionary result = host->call(core, "guest_candidate_batch", { owner, StringName("g1"), facilities, context });
		benchmark::DoNotOptimize(result.size());
		const double finished = thread_cpu_seconds();
		copy_total += copied - start;
		batch_total += finished - copied;
		copy_fastest = std::min(copy_fastest, copied - start);
		batch_fastest = std::min(batch_fastest, finished - copied);
	}
	p_state.counters["ratio"] = batch_fastest / copy_fastest;
	p_state.counters["ratio_of_totals"] = copy_total > 0 ? batch_total / copy_total : 0.0;
}

// CPU time per iteration and the ratio counter of each finished run, by name: the machine
// may be shared, and the figures should not depend on what else runs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
	std::map<std::string, double> seconds;
	double ratio = 0;
	double ratio_of_totals = 0;

	void ReportRuns(const std::vector<Run> &p_runs) override {
		for (const Run &run : p_runs) {
			if (!run.error_occurred && run.iterations > 0) {
				seconds[run.benchmark_name()] = run.cpu_accumulated_time / double(run.iterations);
			}
			const auto found = run.counters.find("ratio");
			if (found != run.counters.end()) {
				ratio = found->second.value;
				ratio_of_totals = run.counters.at("ratio_of_totals").value;
			}
		}
		ConsoleReporter::ReportRuns(p_runs);
	}
};

} // namespace

// The operations of one batch of these 200 rows (all sides) as the plug-in made them when the
// real engine measured the batch at 2.6 (1.9-2.9) times its two deep copies of every row, in
// the same run; HELD_ALLOCATION was calibrated on that ratio. The batch has been cut since,
// so the model is checked against this recorded profile, priced with today's table: a change
// of the table that moves the model away from the engine shows here, whatever the batch does
// now. (The profile includes the host call's 254 ns of argument handling on the caller's side.)
struct OperationCount {
	engine_double::internal::Cost kind;
	uint64_t count;
};

using engine_double::internal::Cost;

const OperationCount CALIBRATED_BATCH_PROFILE[] = {
	{ Cost::CALL, 7361 },
	{ Cost::DEFERRED, 823 },
	{ Cost::VARIANT_PLAIN, 6661 },
	{ Cost::VARIANT_REF, 1930 },
	{ Cost::VARIANT_TYPE, 6097 },
	{ Cost::VARIANT_TO_PLAIN, 2781 },
	{ Cost::VARIANT_TO_STRING_NAME, 500 },
	{ Cost::VARIANT_TO_HANDLE, 931 },
	{ Cost::STRING_NAME_FROM_CHARS, 102 },
	{ Cost::STRING_NAME_COPY, 308 },
	{ Cost::STRING_NAME_RELEASE, 1942 },
	{ Cost::STRING_NAME_COMPARE, 1161 },
	{ Cost::STRING_FROM_CHARS, 102 },
	{ Cost::STRING_COPY, 227 },
	{ Cost::STRING_RELEASE, 559 },
	{ Cost::STRING_COMPARE, 21 },
	{ Cost::DICT_NEW, 405 },
	{ Cost::DICT_COPY, 134 },
	{ Cost::DICT_RELEASE, 1466 },
	{ Cost::DICT_GET, 274 },
	{ Cost::DICT_HAS, 6 },
	{ Cost::DICT_WRITE, 2600 },
	{ Cost::DICT_INSERT, 2134 },
	{ Cost::DICT_DUPLICATE, 333 },
	{ Cost::DICT_COPY_ENTRY, 5802 },
	{ Cost::ARRAY_NEW, 1187 },
	{ Cost::ARRAY_RELEASE, 1522 },
	{ Cost::ARRAY_SIZE, 1319 },
	{ Cost::ARRAY_READ, 9800 },
	{ Cost::ARRAY_APPEND, 533 },
	{ Cost::ARRAY_COPY_ELEMENT, 6709 },
	{ Cost::ARRAY_TYPED, 4 },
	{ Cost::NESTED_CONTAINER, 963 },
	{ Cost::OBJECT_GET_MEMBER, 820 },
	{ Cost::OBJECT_GET_PROPERTY, 3 },
	{ Cost::OBJECT_CALL, 2 },
	{ Cost::SCRIPT_DISPATCH, 2 },
	{ Cost::SCRIPT_DISPATCH_ARGUMENT, 2 },
	{ Cost::OBJECT_DB_GET, 833 },
	{ Cost::GET_SCRIPT, 3 },
	{ Cost::HELD_ALLOCATION, 10926 },
};

double calibrated_profile_ns() {
	double ns = 0;
	for (const OperationCount &operation : CALIBRATED_BATCH_PROFILE) {
		ns += double(operation.count) * double(engine_double::internal::cost_ns(operation.kind));
	}
	return ns;
}

// What the answer itself holds, made directly: every candidate's row copy (its id written
// in), and for each accepted row its evaluated copy with four written keys and an
// eleven-term dictionary, for each refused one its two-key entry, the four lists. Priced
// as the plug-in's work (each kept block a HELD_ALLOCATION): no batch can spend less.
double answer_floor_ns(const Dictionary &p_result) {
	const StringName id_key("facility_id");
	const Array accepted_rows = p_result.get("accepted", Array());
	const int64_t refused = Array(p_result.get("rejected", Array())).size();
	// The batch's entries hold texts it already has: copies.
	const String facility_text("facility");
	const String reason_text("reason");
	const ModelledNs made = modelled_ns([&] {
		Array ordered;
		Array accepted;
		Array rejected;
		Array ranked;
		for (int64_t i = 0; i < CANDIDATE_COUNT; i++) {
			const Dictionary candidate = facilities[i];
			Dictionary row = candidate.duplicate(true);
			row[id_key] = candidate.get(id_key, Variant());
			ordered.push_back(row);
		}
		for (int64_t i = 0; i < accepted_rows.size(); i++) {
			const Dictionary row = accepted_rows[i];
			accepted.push_back(row);
			Dictionary evaluated = row.duplicate(true);
			for (const char *key : { "need_priority", "utility", "urgency", "travel_minutes" }) {
				evaluated[StringName(key)] = int64_t(i);
			}
			Dictionary terms;
			for (int64_t term = 0; term < 11; term++) {
				terms[term] = term;
			}
			evaluated[StringName("utility_terms")] = terms;
			ranked.push_back(evaluated);
		}
		for (int64_t i = 0; i < refused; i++) {
			Dictionary entry;
			entry[id_key] = facility_text;
			entry[StringName("reason")] = reason_text;
			rejected.push_back(entry);
		}
		benchmark::DoNotOptimize(ranked.size());
	});
	return at_plugin_prices(made);
}

// The goal for the batch's own modelled time per row against two deep copies of the row. The
// answer's own copies and entries alone model above it, so the check holds the part the batch
// controls: its own work beyond building its answer, against the same copies.
constexpr double BATCH_OWN_GOAL = 1.5;
constexpr double BATCH_BEYOND_ANSWER_LIMIT = 0.5;

// The model's engine nanoseconds of the calibrated profile against two deep copies of every
// row (within 25 % of the engine's 2.6), and today's batch's own time against those copies
// (printed against the goal; checked beyond its answer's own contents). True when both hold.
bool check_cost_model() {
	const Variant owner = service->service_variant();
	const Dictionary context;
	const auto batch = [&owner, &context] {
		const Dictionary result = host->call(core, "guest_candidate_batch", { owner, StringName("g1"), facilities, context });
		benchmark::DoNotOptimize(result.size());
	};
	const Dictionary answer = host->call(core, "guest_candidate_batch", { owner, StringName("g1"), facilities, context });
	const ModelledNs method = modelled_ns(batch);
	const ModelledNs floor = modelled_ns(copy_candidates_twice);
	std::printf("cost model per row: batch %.0f ns (own %.0f, inside script %.0f), two deep copies %.0f ns\n", method.method() / CANDIDATE_COUNT, method.own / CANDIDATE_COUNT, method.script / CANDIDATE_COUNT, floor.caller / CANDIDATE_COUNT);
	print_cost_breakdown(method, double(CANDIDATE_COUNT), 12);
	const bool calibrated = report_model_ratio("calibrated batch profile (200 rows) / two duplicate(true) per row", calibrated_profile_ns(), floor.caller, 2.6, 0.25);
	const double ratio = floor.caller > 0 ? method.own / floor.caller : 0.0;
	std::printf("cost model, guest_candidate_batch (200 rows): own %.0f ns per row / two duplicate(true) of the row %.0f ns = %.2f (goal <= %.1f): %s\n", method.own / CANDIDATE_COUNT, floor.caller / CANDIDATE_COUNT, ratio, BATCH_OWN_GOAL, ratio <= BATCH_OWN_GOAL ? "within" : "ABOVE");
	const double answer_ns = answer_floor_ns(answer);
	std::printf("  of which the answer's own copies and entries, made directly at the plug-in's prices: %.0f ns per row = %.2f x the two copies\n", answer_ns / CANDIDATE_COUNT, floor.caller > 0 ? answer_ns / floor.caller : 0.0);
	const double beyond = floor.caller > 0 ? (method.own - answer_ns) / floor.caller : 0.0;
	const bool within = floor.caller > 0 && beyond <= BATCH_BEYOND_ANSWER_LIMIT;
	std::printf("  own beyond the answer's contents / the two copies %.2f (limit %.1f): %s\n", beyond, BATCH_BEYOND_ANSWER_LIMIT, within ? "within" : "ABOVE");
	std::printf("  the two copies at the plug-in's prices: %.0f ns per row; own / those %.2f\n", at_plugin_prices(floor) / CANDIDATE_COUNT, method.own / at_plugin_prices(floor));
	return calibrated && within;
}

int main(int argc, char **argv) {
	const bool model_check = take_flag(argc, argv, "--model_check");
	benchmark::Initialize(&argc, argv);
	engine_double::call_log_set_enabled(false);
	host = veltrin_test::open_plugin();
	if (host == nullptr) {
		std::fprintf(stderr, "cannot load the plug-in\n");
		return 1;
	}
	core = host->instantiate("VeltrinNumericCore");
	set_up_guest();
	const bool model_holds = check_cost_model();
	if (model_check) {
		facilities = Array();
		service.reset();
		core = Variant();
		veltrin_test::close_plugin();
		return model_holds ? 0 : 1;
	}

	benchmark::RegisterBenchmark("deep_copies_twice", deep_copies_twice);
	benchmark::RegisterBenchmark("guest_batch", guest_batch);
	benchmark::RegisterBenchmark("batch_over_copies", batch_over_copies)->MinTime(2.0);
	RatioReporter reporter;
	benchmark::RunSpecifiedBenchmarks(&reporter);

	const double copies = reporter.seconds["deep_copies_twice"];
	const double batch = reporter.seconds["guest_batch"];
	if (copies > 0 && batch > 0) {
		std::printf("\n%lld candidates (CPU time): batch %.1f us, two deep copies %.1f us, %.0f candidates/s\n", (long long)CANDIDATE_COUNT, batch * 1e6, copies * 1e6, double(CANDIDATE_COUNT) / batch);
	}
	std::printf("batch over deep copies, measured alternately: %.2fx fastest over fastest (goal <= 3), %.2fx of the totals\n", reporter.ratio, reporter.ratio_of_totals);

	facilities = Array();
	service.reset();
	core = Variant();
	veltrin_test::close_plugin();
	benchmark::Shutdown();
	return 0;
}
