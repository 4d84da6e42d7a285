// The candidate projection of one guest, called by name through the engine double's host,
// with a warm path service (its step connector memo full), over two resort shapes:
// - four floors of two layers, 100 facilities (also 10 and 1000, whose rows then grow to
//   hundreds of cells, and routes with them);
// - twelve facilities per floor, floors added as facilities are (10, 100, 1000): walking
//   distances stay bounded, so the cost per facility should not depend on their number.
//
// Baseline: the script side alone. One projection's call log is recorded and then replayed
// call for call (the same property reads and writes, method calls and the signal, on the
// same objects with the same arguments), so the ratio projection / replay is what the
// native work costs on top of the script calls it cannot avoid. Also printed: the script
// calls per facility against the least the projection's steps allow for this resort, and
// how the cost per facility changes from 10 to 1000 facilities.

#include "crossing_counters.hpp"

#include "resort_fixture.hpp"

#include "plugin_session.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/host.hpp>

#include <benchmark/benchmark.h>

#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace godot;
using veltrin_test::FacilityValues;
using veltrin_test::ResortFixture;

namespace {

constexpr int32_t FLOORS = 4;
const Vector3i GUEST_CELL(1, 0, 0);

enum BenchVariant {
	PROJECTION,
	SCRIPT_REPLAY,
};

// One recorded script call, its object resolved.
struct ReplayedCall {
	engine_double::CallLogKind kind;
	Object *object;
	StringName name;
	Array arguments;
};

enum BenchLayout {
	FOUR_FLOORS,
	TWELVE_PER_FLOOR,
};

const char *const LAYOUT_NAMES[] = { "four floors", "twelve per floor" };

struct BenchResort {
	int64_t facility_count = 0;
	BenchLayout layout = FOUR_FLOORS;
	std::unique_ptr<ResortFixture> resort;
	std::vector<ReplayedCall> calls;
	int64_t least_calls = 0;
};

engine_double::PluginHost *host = nullptr;
Variant core;
std::unique_ptr<BenchResort> current;
// (facilities, layout) -> (recorded script calls, least the steps allow).
std::map<std::pair<int64_t, int>, std::pair<int64_t, int64_t>> call_counts;

Dictionary project(const BenchResort &p_bench) {
	const ResortFixture &resort = *p_bench.resort;
	return host->call(core, "project_guest_candidates",
	        { resort.runtime(), StringName("g1"), veltrin_test::FACILITY_OPEN, veltrin_test::FACILITY_DEGRADED, int64_t(10), int64_t(20), veltrin_test::RESORT_ORTHOGONAL_COST, resort.ticks() });
}

// Facilities two cells wide, front and back layer rows offset so that every floor stays
// walkable along x (a column free on both layers between neighbours); each has one inventory
// input and a left and a right access cell.
std::unique_ptr<BenchResort> build(int64_t p_facilities, BenchLayout p_layout) {
	auto bench = std::make_unique<BenchResort>();
	bench->facility_count = p_facilities;
	bench->layout = p_layout;
	int32_t floors = FLOORS;
	int32_t slots = int32_t((p_facilities + 2 * FLOORS - 1) / (2 * FLOORS));
	if (p_layout == TWELVE_PER_FLOOR) {
		slots = 6;
		floors = std::max<int32_t>(1, int32_t((p_facilities + 11) / 12));
	}
	veltrin_test::ResortLayout layout;
	layout.floors = floors;
	layout.width = 6 * slots + 8;
	// On a tall resort the stairs would beat the elevator to the top floors; the call count
	// below assumes every upper floor is reached by elevator.
	layout.stairs = p_layout == FOUR_FLOORS;
	bench->resort = std::make_unique<ResortFixture>(layout);
	ResortFixture &resort = *bench->resort;
	Dictionary inputs;
	inputs[StringName("supplies")] = int64_t(1);
	resort.add_definition("lounge_kind", veltrin_test::tag_array({ "social" }), inputs);

	// The least script work the projection's steps allow: fixed per call, then per facility.
	// Guard: 21 (runtime and six service scripts, six service reads, selectability, the guest,
	// its script, two instance lists, the current cell, opening and closing the batch); the
	// tree: its build and the wrapped flag; the facility instances' and definitions' script
	// paths, each script's read once.
	int64_t least = 21 + 2 + 2;
	for (int64_t i = 0; i < p_facilities; i++) {
		// Floor by floor; on a floor, front and back rows alternate.
		const int32_t floor = int32_t(i / (2 * slots));
		const int32_t layer = int32_t(i % 2);
		const int32_t x = 6 * int32_t((i % (2 * slots)) / 2) + 2 + 3 * layer;
		const std::string id = "lounge_" + std::to_string(i);
		FacilityValues values = veltrin_test::facility_values(id.c_str(), "lounge_kind", Vector3i(x, floor, layer));
		values.queue_entries = veltrin_test::queue_of(i % 4);
		resort.add_facility(values);
		resort.set_stock(values.local_inventory_id, "supplies", 5);
		// Preflight 2 (the definition id and the definition), goal cells 3, filter 4 + 2 for the input, access cells 3, origin 1,
		// the search 5 + 12 per resolution (two: the nearer left cell, then the last goal) + the
		// signal, the row 10; a layer crossing question per resolution on the back layer, one
		// elevator question per run of the route, the route's cost when it rides the elevator.
		// A facility whose nearer cell is the guest's own cell needs no reconstruction and has
		// no step to ask about.
		const bool at_guest = Vector3i(x - 1, floor, layer) == GUEST_CELL;
		const int64_t crossings = layer != GUEST_CELL.z ? 2 : 0;
		const int64_t questions = at_guest ? 0 : (floor == 0 ? 1 : 2);
		const int64_t cost_calls = floor == 0 ? 0 : 1;
		least += 2 + 3 + 4 + 2 + 3 + 1 + (5 + 2 * 12 + 1) + crossings + 10 + questions + cost_calls - (at_guest ? 1 : 0);
	}
	bench->least_calls = least;
	resort.guests().add_guest("g1", veltrin_test::guest_values_at(GUEST_CELL));
	resort.warm_step_memo();
	return bench;
}

// Records one projection's script calls, after checking that it answered every facility
// natively.
bool record(BenchResort &p_bench, std::string &r_error) {
	ResortFixture &resort = *p_bench.resort;
	resort.path_cache.clear();
	engine_double::call_log_clear();
	engine_double::call_log_set_enabled(true);
	const Dictionary answer = project(p_bench);
	engine_double::call_log_set_enabled(false);
	const Array rows = answer.get("candidates", Array());
	if (rows.size() != p_bench.facility_count) {
		r_error = "the projection did not give a row per facility";
		return false;
	}
	if (ResortFixture::call_count(resort.runtime(), "_find_facility_access_path") != 0) {
		r_error = "a facility fell back to the runtime's own search";
		return false;
	}
	for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries()) {
		p_bench.calls.push_back(ReplayedCall { entry.kind, ObjectDB::get_instance(entry.object_id), entry.name, entry.arguments });
	}
	engine_double::call_log_clear();
	call_counts[{ p_bench.facility_count, p_bench.layout }] = { int64_t(p_bench.calls.size()), p_bench.least_calls };
	return true;
}

void replay(const BenchResort &p_bench) {
	for (const ReplayedCall &call : p_bench.calls) {
		switch (call.kind) {
			case engine_double::CallLogKind::GET:
				benchmark::DoNotOptimize(call.object->get(call.name));
				break;
			case engine_double::CallLogKind::SET:
				call.object->set(call.name, call.arguments[0]);
				break;
			case engine_double::CallLogKind::CALL:
				benchmark::DoNotOptimize(call.object->callv(call.name, call.arguments));
				break;
			case engine_double::CallLogKind::EMIT:
				call.object->emit_signal(call.name, call.arguments[0]);
				break;
		}
	}
}

void projection_bench(benchmark::State &p_state) {
	const int64_t facilities = p_state.range(0);
	const BenchVariant variant = BenchVariant(p_state.range(1));
	const BenchLayout layout = BenchLayout(p_state.range(2));
	if (!current || current->facility_count != facilities || current->layout != layout) {
		current.reset();
		current = build(facilities, layout);
		std::string error;
		if (!record(*current, error)) {
			p_state.SkipWithError(error.c_str());
			return;
		}
	}
	BenchResort &bench = *current;
	const CrossingCounters crossings(variant != PROJECTION);
	for (auto _ : p_state) {
		// Routes cached by the previous round would make every search decline.
		bench.resort->path_cache.clear();
		if (variant == PROJECTION) {
			benchmark::DoNotOptimize(project(bench).size());
		} else {
			replay(bench);
		}
	}
	crossings.report(p_state, double(facilities));
	p_state.counters["facilities"] = double(facilities);
	p_state.counters["ns_per_facility"] = benchmark::Counter(double(facilities), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// ns per facility of each finished run, by (facilities, variant, layout).
class RatioReporter : public benchmark::ConsoleReporter {
public:
	std::map<std::tuple<int64_t, int, int>, double> ns_per_facility;

	void ReportRuns(const std::vector<Run> &p_runs) override {
		for (const Run &run : p_runs) {
			const auto facilities = run.counters.find("facilities");
			if (run.error_occurred || run.iterations == 0 || facilities == run.counters.end()) {
				continue;
			}
			// Named "projection_bench/<facilities>/<variant>/<layout>".
			int64_t count = 0;
			int variant = 0;
			int layout = 0;
			if (std::sscanf(run.benchmark_name().c_str(), "projection_bench/%lld/%d/%d", reinterpret_cast<long long *>(&count), &variant, &layout) != 3) {
				continue;
			}
			const double seconds = run.cpu_accumulated_time / double(run.iterations);
			ns_per_facility[{ count, variant, layout }] = seconds * 1e9 / facilities->second.value;
		}
		ConsoleReporter::ReportRuns(p_runs);
	}

	double ns(int64_t p_facilities, int p_variant, int p_layout) const {
		const auto found = ns_per_facility.find({ p_facilities, p_variant, p_layout });
		return found == ns_per_facility.end() ? 0.0 : found->second;
	}
};

const int64_t SIZES[] = { 10, 100, 1000 };

double ratio(double p_a, double p_b) {
	return p_b > 0 ? p_a / p_b : 0.0;
}

void print_summary(const RatioReporter &p_reporter) {
	bool all_least = true;
	for (const int layout : { FOUR_FLOORS, TWELVE_PER_FLOOR }) {
		std::printf("\nprojection of one guest, %s, warm path service:\n", LAYOUT_NAMES[layout]);
		std::printf("  %10s %12s %12s %14s %15s %15s\n", "facilities", "ns/facility", "replay ns/f", "over replay", "calls/facility", "least/facility");
		for (const int64_t facilities : SIZES) {
			const double projected = p_reporter.ns(facilities, PROJECTION, layout);
			const double replayed = p_reporter.ns(facilities, SCRIPT_REPLAY, layout);
			const auto counts = call_counts[{ facilities, layout }];
			all_least = all_least && counts.first == counts.second;
			std::printf("  %10lld %12.0f %12.0f %14.2f %15.2f %15.2f\n", static_cast<long long>(facilities), projected, replayed, ratio(projected, replayed),
			        double(counts.first) / double(facilities), double(counts.second) / double(facilities));
		}
		std::printf("  cost per facility, 1000 over 10 facilities (1.0 = flat): projection %.2f, replay %.2f, native part %.2f\n",
		        ratio(p_reporter.ns(1000, PROJECTION, layout), p_reporter.ns(10, PROJECTION, layout)),
		        ratio(p_reporter.ns(1000, SCRIPT_REPLAY, layout), p_reporter.ns(10, SCRIPT_REPLAY, layout)),
		        ratio(p_reporter.ns(1000, PROJECTION, layout) - p_reporter.ns(1000, SCRIPT_REPLAY, layout), p_reporter.ns(10, PROJECTION, layout) - p_reporter.ns(10, SCRIPT_REPLAY, layout)));
	}
	const double per_100 = p_reporter.ns(100, PROJECTION, FOUR_FLOORS);
	std::printf("\nprojections per second, 100 facilities on four floors: %.0f\n", per_100 > 0 ? 1e9 / (per_100 * 100) : 0.0);
	std::printf("script calls beyond the least the steps allow: %s\n", all_least ? "none" : "SOME (see the tables)");
}

// The diagnostic phases of a projection, as its script calls mark them out.
enum ProjectionPhase {
	PHASE_PREFLIGHT,
	PHASE_GOAL_BATCH,
	PHASE_BETWEEN,
	PHASE_INPUT_FILTER,
	PHASE_ACCESS_CELLS,
	PHASE_NEAREST_ACCESS,
	PHASE_ROW_PREPARE,
	PHASE_TRAVEL_MINUTES,
	PHASE_BATCH_END,
	PROJECTION_PHASE_COUNT,
};

const char *const PHASE_NAMES[] = { "preflight", "goal batch", "between phases", "input filter", "access cells (and origin)", "nearest access", "row prepare", "  of which travel minutes", "batch end and answer" };

// The phase a script call belongs to, from the one before it: each phase opens with a call
// of its own (the preflight with the first, the goal batch with the first passable-cell
// read, a facility's filter with its definition_id read, its access cells with the next
// passable-cell read, its search with the batch read, its row after the measured signal).
ProjectionPhase phase_of(ProjectionPhase p_phase, const engine_double::CallLogEntry &p_entry) {
	const StringName &name = p_entry.name;
	switch (p_phase) {
		case PHASE_PREFLIGHT:
			return name == StringName("_passable_cells") ? PHASE_GOAL_BATCH : p_phase;
		case PHASE_GOAL_BATCH:
			return name == StringName("get_instances") ? PHASE_BETWEEN : p_phase;
		case PHASE_INPUT_FILTER:
			return name == StringName("_passable_cells") ? PHASE_ACCESS_CELLS : p_phase;
		case PHASE_ACCESS_CELLS:
			return name == StringName("_query_batch") ? PHASE_NEAREST_ACCESS : p_phase;
		case PHASE_NEAREST_ACCESS:
			return p_entry.kind == engine_double::CallLogKind::EMIT ? PHASE_ROW_PREPARE : p_phase;
		case PHASE_ROW_PREPARE:
			if (name == StringName("_guest_step_connector_memo")) {
				return PHASE_TRAVEL_MINUTES;
			}
			break;
		case PHASE_TRAVEL_MINUTES:
			return name == StringName("base_service_minutes") ? PHASE_ROW_PREPARE : p_phase;
		default:
			break;
	}
	if (name == StringName("definition_id")) {
		return PHASE_INPUT_FILTER;
	}
	if (name == StringName("end_guest_path_query_batch")) {
		return PHASE_BATCH_END;
	}
	return p_phase;
}

constexpr size_t COST_KINDS = size_t(engine_double::internal::Cost::COUNT);

// One phase's share of a projection: own modelled ns and the plug-in's operations by kind.
struct PhaseShare {
	double ns = 0;
	double operations[COST_KINDS] = {};
};

// One projection's own modelled work by phase: the plug-in's work between two script calls
// goes to the phase of the later call (what follows the last, to the batch's end). The
// script calls mark the boundaries, so a phase's first stretch also holds the previous
// phase's last steps (a row's last writes go to the next facility's filter).
std::vector<PhaseShare> own_work_by_phase(const BenchResort &p_bench) {
	std::vector<PhaseShare> phases(PROJECTION_PHASE_COUNT);
	p_bench.resort->path_cache.clear();
	engine_double::call_log_clear();
	const engine_double::CrossingReader reader;
	const engine_double::internal::CrossingState &state = engine_double::internal::crossing_state_of_thread();
	const uint64_t start = state.nanoseconds[engine_double::internal::CROSSING_PLUGIN];
	const std::vector<uint64_t> start_operations(std::begin(state.kinds[engine_double::internal::CROSSING_PLUGIN]), std::end(state.kinds[engine_double::internal::CROSSING_PLUGIN]));
	engine_double::call_log_set_enabled(true);
	benchmark::DoNotOptimize(project(p_bench).size());
	engine_double::call_log_set_enabled(false);
	const std::vector<uint64_t> end_operations(std::begin(state.kinds[engine_double::internal::CROSSING_PLUGIN]), std::end(state.kinds[engine_double::internal::CROSSING_PLUGIN]));
	uint64_t last = start;
	const std::vector<uint64_t> *last_operations = &start_operations;
	ProjectionPhase phase = PHASE_PREFLIGHT;
	const auto add = [&phases](ProjectionPhase p_phase, double p_ns, const std::vector<uint64_t> &p_from, const std::vector<uint64_t> &p_to) {
		phases[p_phase].ns += p_ns;
		for (size_t kind = 0; kind < COST_KINDS && kind < p_from.size() && kind < p_to.size(); kind++) {
			phases[p_phase].operations[kind] += double(p_to[kind] - p_from[kind]);
		}
	};
	const std::vector<engine_double::CallLogEntry> entries = engine_double::call_log_entries();
	for (const engine_double::CallLogEntry &entry : entries) {
		phase = phase_of(phase, entry);
		add(phase, double(entry.plugin_ns - last), *last_operations, entry.plugin_operations);
		last = entry.plugin_ns;
		last_operations = &entry.plugin_operations;
	}
	add(PHASE_BATCH_END, double(start + reader.plugin_ns() - last), *last_operations, end_operations);
	engine_double::call_log_clear();
	// Travel minutes are part of the row.
	phases[PHASE_ROW_PREPARE].ns += phases[PHASE_TRAVEL_MINUTES].ns;
	for (size_t kind = 0; kind < COST_KINDS; kind++) {
		phases[PHASE_ROW_PREPARE].operations[kind] += phases[PHASE_TRAVEL_MINUTES].operations[kind];
	}
	return phases;
}

// The plug-in's own modelled ns per facility at 40 facilities before the cuts to its
// containers, names, liveness and script-path checks (the named baseline of the ratio
// below: that code measured with today's prices, a Variant's keyed test and read charged
// as the dictionary lookups they are and a duplicated Array as the new Array it is), and
// the most the model check lets it rise to: the level after the cuts, plus 5 %.
const double OWN_NS_BEFORE[] = { 15861.0, 16144.0 };
const double OWN_NS_LIMIT[] = { 12230.0, 12470.0 };

// One entry of a row as the answer holds it: a value, or a dictionary of its own (the
// relief, the handle), or a list of its own (the tags).
struct RowEntry {
	Variant key;
	Variant value;
	std::vector<std::pair<Variant, Variant>> entries;
	bool dictionary = false;
	bool list = false;
};

// What the answer itself holds, made directly from a projection's answer: per facility a row
// of its keys with its own tag list, relief and handle dictionaries, in one list. Priced as
// the plug-in's work (each kept block a HELD_ALLOCATION): no projection can spend less on
// its answer. Per facility.
double answer_floor_ns(const Dictionary &p_answer) {
	const Array rows = p_answer.get("candidates", Array());
	std::vector<std::vector<RowEntry>> plan;
	for (int64_t i = 0; i < rows.size(); i++) {
		const Dictionary row = rows[i];
		const Array keys = row.keys();
		std::vector<RowEntry> &entries = plan.emplace_back();
		for (int64_t k = 0; k < keys.size(); k++) {
			RowEntry entry;
			entry.key = keys[k];
			entry.value = row[keys[k]];
			if (entry.value.get_type() == Variant::DICTIONARY) {
				entry.dictionary = true;
				const Dictionary inner = entry.value;
				const Array inner_keys = inner.keys();
				for (int64_t j = 0; j < inner_keys.size(); j++) {
					entry.entries.emplace_back(inner_keys[j], inner[inner_keys[j]]);
				}
			}
			entry.list = entry.value.get_type() == Variant::ARRAY;
			entries.push_back(std::move(entry));
		}
	}
	const Variant supported_key = StringName("supported");
	const Variant candidates_key = StringName("candidates");
	const ModelledNs made = modelled_ns([&] {
		Dictionary answer;
		answer[supported_key] = true;
		Array candidates;
		for (const std::vector<RowEntry> &entries : plan) {
			Dictionary row;
			for (const RowEntry &entry : entries) {
				if (entry.dictionary) {
					Dictionary inner;
					for (const std::pair<Variant, Variant> &pair : entry.entries) {
						inner[pair.first] = pair.second;
					}
					row[entry.key] = inner;
				} else if (entry.list) {
					row[entry.key] = Array(entry.value).duplicate(false);
				} else {
					row[entry.key] = entry.value;
				}
			}
			candidates.append(row);
		}
		answer[candidates_key] = candidates;
		benchmark::DoNotOptimize(answer.size());
	});
	return rows.is_empty() ? 0.0 : at_plugin_prices(made) / double(rows.size());
}

// What the cost model says of one projection of 40 facilities (the real engine's profile puts
// 20 % of its time inside the script methods it calls, their dispatch included). With
// p_check, false when the own ns per facility of a layout rose above its limit; with
// p_phase_kinds, each phase's costliest operations too.
bool print_cost_model(bool p_check, bool p_phase_kinds) {
	bool within = true;
	std::printf("cost model, project_guest_candidates of 40 facilities (engine: ~20 %% inside script methods):\n");
	for (const BenchLayout layout : { FOUR_FLOORS, TWELVE_PER_FLOOR }) {
		std::unique_ptr<BenchResort> bench = build(40, layout);
		std::string error;
		if (!record(*bench, error)) {
			std::printf("  %s: %s\n", LAYOUT_NAMES[layout], error.c_str());
			within = false;
			continue;
		}
		bench->resort->path_cache.clear();
		const ModelledNs ns = modelled_ns([&bench] { benchmark::DoNotOptimize(project(*bench).size()); });
		// The replay makes the same script calls from outside: its own part is what making
		// them costs the caller.
		const ModelledNs replayed = modelled_ns([&bench] { replay(*bench); });
		std::printf("  %s: %.0f ns per facility, own %.0f, inside script %.0f (%.0f %% inside script); %zu script calls per projection\n", LAYOUT_NAMES[layout], ns.method() / 40.0, ns.own / 40.0, ns.script / 40.0,
		        100.0 * ns.script_share(), bench->calls.size());
		const double own = ns.own / 40.0;
		std::printf("  own ns per facility %.0f: %.2f of the %.0f before the cuts; %.2f of the script replay's calls (%.0f own ns per facility)\n", own, ratio(own, OWN_NS_BEFORE[layout]), OWN_NS_BEFORE[layout],
		        ratio(own, replayed.caller / 40.0), replayed.caller / 40.0);
		bench->resort->path_cache.clear();
		const double answer_ns = answer_floor_ns(project(*bench));
		std::printf("  of which the answer's own rows, made directly at the plug-in's prices: %.0f ns per facility; the script calls made from outside (the replay's own) %.0f; the rest %.0f\n", answer_ns, replayed.caller / 40.0, own - answer_ns - replayed.caller / 40.0);
		std::printf("  own ns per facility by phase:\n");
		const std::vector<PhaseShare> phases = own_work_by_phase(*bench);
		for (size_t phase = 0; phase < phases.size(); phase++) {
			std::printf("    %-26s %8.0f\n", PHASE_NAMES[phase], phases[phase].ns / 40.0);
			if (p_phase_kinds) {
				print_top_kinds(phases[phase].operations, 40.0, 16, false);
			}
		}
		std::printf("  own ns per facility by operation:\n");
		print_kind_breakdown(ns.own_kinds, 40.0, 12);
		if (p_check) {
			const bool inside = own <= OWN_NS_LIMIT[layout];
			std::printf("  model check, %s: own %.0f ns per facility, limit %.0f: %s\n", LAYOUT_NAMES[layout], own, OWN_NS_LIMIT[layout], inside ? "within" : "ABOVE");
			within = within && inside;
		}
	}
	std::fflush(stdout);
	return within;
}

} // namespace

int main(int argc, char **argv) {
	// --model_check: the cost model's own ns per facility against its limits, nothing timed.
	const bool model_check = take_flag(argc, argv, "--model_check");
	// --phase_operations: each phase's costliest kinds of operation in the model's report.
	const bool phase_kinds = take_flag(argc, argv, "--phase_operations");
	benchmark::Initialize(&argc, argv);
	engine_double::call_log_set_enabled(false);
	host = veltrin_test::open_plugin();
	if (host == nullptr) {
		std::fprintf(stderr, "cannot load the plug-in\n");
		return 1;
	}
	core = host->instantiate("VeltrinNumericCore");
	if (model_check) {
		const bool within = print_cost_model(true, phase_kinds);
		core = Variant();
		veltrin_test::close_plugin();
		return within ? 0 : 1;
	}
	print_cost_model(false, phase_kinds);
	for (const int layout : { FOUR_FLOORS, TWELVE_PER_FLOOR }) {
		for (const int64_t facilities : SIZES) {
			for (const int variant : { PROJECTION, SCRIPT_REPLAY }) {
				benchmark::RegisterBenchmark("projection_bench", projection_bench)->Args({ facilities, variant, layout })->Unit(benchmark::kMicrosecond);
			}
		}
	}
	RatioReporter reporter;
	benchmark::RunSpecifiedBenchmarks(&reporter);
	print_summary(reporter);
	current.reset();
	core = Variant();
	veltrin_test::close_plugin();
	benchmark::Shutdown();
	return 0;
}
