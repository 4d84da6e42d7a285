// Cost per expanded node of route search from a script's point of view, on two-layer
// walking grids: the bound methods called by name through the engine double's host, against
// the bare search kernel on the same graph. Every search expands the whole grid (its goal is
// outside the numbering). Prints the ratios to the script-provider search at the end.

#include "crossing_counters.hpp"

#include "native/search.hpp"
#include "path_service_fixture.hpp"

#include "plugin_session.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/host.hpp>
#include <engine_double/script_double.hpp>

#include <benchmark/benchmark.h>

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace godot;

namespace {

enum SearchVariant {
	SCRIPT_PROVIDER, // (a) the provider is a script method: one script call per node, memo starting empty
	NATIVE_ROWS_EMPTY_MEMO, // (b) the walking provider is recognised; the memo starts empty
	NATIVE_ROWS_WARM_MEMO, // (c) the same, every row already memoised
	CACHED_WARM, // (d) search_cached with every node's edges cached
	BARE_KERNEL, // the kernel over prebuilt edge lists
};

const char *const VARIANT_NAMES[] = { "a_script_provider", "b_native_rows_empty_memo", "c_native_rows_warm_memo", "d_cached_warm", "bare_kernel" };

struct Grid {
	int32_t side = 0;
	std::unique_ptr<veltrin_test::PathServiceFixture> path;
	// The same world under a script the search does not recognise: every row from the script.
	std::unique_ptr<veltrin_test::PathServiceFixture> script_only;
	veltrin_test::CellGraph graph;
	Dictionary goals;
	std::vector<std::vector<veltrin_native::Edge>> edges;
};

engine_double::PluginHost *host = nullptr;
Variant core;
std::unique_ptr<Grid> grid;

Grid &grid_of_side(int32_t p_side) {
	if (grid && grid->side == p_side) {
		return *grid;
	}
	grid.reset();
	grid = std::make_unique<Grid>();
	grid->side = p_side;
	grid->path = std::make_unique<veltrin_test::PathServiceFixture>();
	grid->graph = veltrin_test::add_walking_grid(*grid->path, p_side, p_side, 3);
	grid->path->begin_query(grid->graph);
	grid->script_only = std::make_unique<veltrin_test::PathServiceFixture>(veltrin_test::PathServiceConstants(), "res://scripts/world/scripted_path_service.gd");
	grid->script_only->share_state_with(*grid->path);
	grid->goals[Vector3i(-1, -1, -1)] = true;
	// The kernel's own edge lists, translated from the very rows the script computes.
	const Array layers = grid->path->walk_layers();
	for (int64_t i = 0; i < grid->graph.cells.size(); i++) {
		const Array rows = grid->path->script_rows(grid->graph.cells[i], layers, Array());
		std::vector<veltrin_native::Edge> list;
		for (int64_t r = 0; r < rows.size(); r++) {
			const Array row = rows[r];
			list.push_back(veltrin_native::Edge { int64_t(grid->graph.indices.get(row[0], -1)), int64_t(row[1]) });
		}
		grid->edges.push_back(std::move(list));
	}
	return *grid;
}

Dictionary run_search(Grid &p_grid, const char *p_method, const Callable &p_provider) {
	return host->call(core, p_method, { p_grid.graph.cells, p_grid.graph.indices, 0, p_grid.goals, p_provider });
}

void report_nodes(benchmark::State &p_state, int64_t p_nodes) {
	p_state.counters["nodes"] = double(p_nodes);
	p_state.counters["ns_per_node"] = benchmark::Counter(double(p_nodes), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void search_bench(benchmark::State &p_state) {
	const int32_t side = int32_t(p_state.range(0));
	const SearchVariant variant = SearchVariant(p_state.range(1));
	Grid &g = grid_of_side(side);
	veltrin_test::PathServiceFixture &path = *g.path;
	const int64_t node_count = g.graph.cells.size();

	if (variant == BARE_KERNEL) {
		const std::vector<int64_t> goals = { -1 };
		int64_t settled = 0;
		for (auto _ : p_state) {
			const veltrin_native::Result result = veltrin_native::search(node_count, 0, goals,
			        [&g](int64_t p_node) -> const std::vector<veltrin_native::Edge> & { return g.edges[size_t(p_node)]; });
			settled = int64_t(result.settled.size());
			benchmark::DoNotOptimize(result.cost_values.data());
		}
		report_nodes(p_state, settled);
		return;
	}

	const veltrin_test::PathServiceFixture &service = variant == SCRIPT_PROVIDER ? *g.script_only : path;
	const Callable provider = service.shared_edges_provider(path.walk_layers(), Array());
	const bool fresh_memo = variant == SCRIPT_PROVIDER || variant == NATIVE_ROWS_EMPTY_MEMO;
	const char *method = variant == CACHED_WARM ? "search_cached" : "search";
	path.begin_query(g.graph);
	host->call(core, "clear_edge_cache");
	// Warms the memo and the cache, and checks the search expands the whole grid.
	const Dictionary first = run_search(g, method, provider);
	const int64_t settled = Dictionary(first.get("settled", Dictionary())).size();
	if (String(first.get("status", Variant())) != String("usable") || settled != node_count) {
		p_state.SkipWithError("the search did not expand the whole grid");
		return;
	}
	const CrossingCounters crossings;
	for (auto _ : p_state) {
		if (fresh_memo) {
			// Freeing the last memo is the script's business, not the search's.
			p_state.PauseTiming();
			path.workspace["edges"] = Dictionary();
			p_state.ResumeTiming();
		}
		const Dictionary answer = run_search(g, method, provider);
		benchmark::DoNotOptimize(answer.size());
	}
	report_nodes(p_state, settled);
	// Per settled node; with native rows also per walk-edge row (one per edge of the grid).
	crossings.report(p_state, double(settled));
	if (variant == NATIVE_ROWS_EMPTY_MEMO || variant == NATIVE_ROWS_WARM_MEMO) {
		size_t rows = 0;
		for (const std::vector<veltrin_native::Edge> &edges : g.edges) {
			rows += edges.size();
		}
		p_state.counters["crossings/row"] = p_state.counters["crossings/unit"] * double(settled) / double(rows);
	}
}

// ns per expanded node of each finished run, by name.
class RatioReporter : public benchmark::ConsoleReporter {
public:
	std::map<std::string, double> ns_per_node;

	void ReportRuns(const std::vector<Run> &p_runs) override {
		for (const Run &run : p_runs) {
			const auto nodes = run.counters.find("nodes");
			if (run.error_occurred || nodes == run.counters.end() || nodes->second.value <= 0 || run.iterations == 0) {
				continue;
			}
			const double seconds = run.cpu_accumulated_time / double(run.iterations);
			ns_per_node[run.benchmark_name()] = seconds * 1e9 / nodes->second.value;
		}
		ConsoleReporter::ReportRuns(p_runs);
	}
};

double find_ns(const RatioReporter &p_reporter, int32_t p_side, SearchVariant p_variant) {
	const std::string prefix = "search_bench/" + std::to_string(p_side) + "/" + std::to_string(int(p_variant));
	for (const auto &entry : p_reporter.ns_per_node) {
		if (entry.first.rfind(prefix, 0) == 0) {
			return entry.second;
		}
	}
	return 0.0;
}

void register_benchmarks() {
	const int32_t sides[] = { 50, 200, 400 };
	for (const int32_t side : sides) {
		for (int variant = SCRIPT_PROVIDER; variant <= BARE_KERNEL; variant++) {
			// The size check needs only the native paths and the kernel.
			if (side != 200 && (variant == SCRIPT_PROVIDER || variant == NATIVE_ROWS_WARM_MEMO)) {
				continue;
			}
			benchmark::RegisterBenchmark("search_bench", search_bench)->Args({ side, variant })->Unit(benchmark::kMillisecond);
		}
	}
}

void print_ratios(const RatioReporter &p_reporter) {
	std::printf("\nns per expanded node (200x200 two-layer grid, %d nodes):\n", 200 * 200 * 2);
	const double script = find_ns(p_reporter, 200, SCRIPT_PROVIDER);
	for (int variant = SCRIPT_PROVIDER; variant <= BARE_KERNEL; variant++) {
		const double ns = find_ns(p_reporter, 200, SearchVariant(variant));
		std::printf("  %-26s %10.1f ns  %6.2fx faster than (a)\n", VARIANT_NAMES[variant], ns, ns > 0 ? script / ns : 0.0);
	}
	const double cached = find_ns(p_reporter, 200, CACHED_WARM);
	const double kernel = find_ns(p_reporter, 200, BARE_KERNEL);
	std::printf("  (d) over the bare kernel: %.2fx (goal <= 3)\n", kernel > 0 ? cached / kernel : 0.0);
	std::printf("  (a) over (d): %.2fx (goal >= 5)\n", cached > 0 ? script / cached : 0.0);
	for (const int32_t side : { 50, 200, 400 }) {
		const double side_kernel = find_ns(p_reporter, side, BARE_KERNEL);
		std::printf("  (d) over the bare kernel at %dx%d: %.2fx\n", side, side, side_kernel > 0 ? find_ns(p_reporter, side, CACHED_WARM) / side_kernel : 0.0);
	}
	std::printf("per-node cost 400x400 over 50x50 (1.0 = independent of size):\n");
	for (const SearchVariant variant : { NATIVE_ROWS_EMPTY_MEMO, CACHED_WARM, BARE_KERNEL }) {
		const double small = find_ns(p_reporter, 50, variant);
		const double large = find_ns(p_reporter, 400, variant);
		std::printf("  %-26s %6.2f\n", VARIANT_NAMES[variant], small > 0 ? large / small : 0.0);
	}
}

// The rows of one provider answer as any reader of them must take them: each row an
// [cell, cost] Array with an int cost, the cell looked up in the numbering.
int64_t read_rows(const Variant &p_rows, const Dictionary &p_indices, std::vector<veltrin_native::Edge> &r_edges) {
	r_edges.clear();
	if (p_rows.get_type() != Variant::ARRAY) {
		return 0;
	}
	const Array rows = p_rows;
	const Variant absent = int64_t(-1);
	for (int64_t i = 0; i < rows.size(); i++) {
		const Variant &row_value = rows[i];
		if (row_value.get_type() != Variant::ARRAY) {
			break;
		}
		const Array row = row_value;
		if (row.size() != 2 || row[1].get_type() != Variant::INT) {
			break;
		}
		r_edges.push_back(veltrin_native::Edge { int64_t(p_indices.get(row[0], absent)), int64_t(row[1]) });
	}
	return int64_t(r_edges.size());
}

// A provider as small as a GDScript one can be, `return _edges.get(cell, [])`, over the rows
// the path service's script computes for each cell, prepared beforehand.
struct MinimalProvider {
	Ref<engine_double::ScriptDouble> script;
	Ref<RefCounted> object;
	Callable callable;
};

MinimalProvider minimal_provider(const Grid &p_grid) {
	static const StringName EDGES_MEMBER("_edges");
	MinimalProvider provider;
	provider.script = engine_double::ScriptDouble::create("res://scripts/bench/minimal_edges.gd");
	provider.script->member(EDGES_MEMBER, Dictionary());
	provider.script->method("edges_of", 1, [](const engine_double::ScriptCall &p_call) -> Variant {
		const Dictionary edges = p_call.member(EDGES_MEMBER);
		return edges.get(p_call[0], Array());
	});
	provider.object = provider.script->instantiate();
	Dictionary rows_by_cell;
	const Array layers = p_grid.path->walk_layers();
	for (int64_t i = 0; i < p_grid.graph.cells.size(); i++) {
		rows_by_cell[p_grid.graph.cells[i]] = p_grid.path->script_rows(p_grid.graph.cells[i], layers, Array());
	}
	provider.object->set(EDGES_MEMBER, rows_by_cell);
	provider.callable = Callable(provider.object.ptr(), "edges_of");
	return provider;
}

constexpr double SEARCH_OWN_GOAL = 0.3;

// What the cost model says of a search with a script provider on a 60x60 grid, per settled
// node. First with the path service's script fixture as the provider, against the
// provider's calls made alone (the real engine gives 1.7, 1.1-1.8 on a quiet machine; the
// fixture does far more engine work per call than the game's script). Then the search's own
// share against a provider call that costs what a GDScript one minimally costs: the
// baseline is the Callable::call, the script's dispatch and `return _edges.get(cell, [])`,
// and reading the rows it returns (as read_rows does); the search's own beyond that baseline
// is its own time less the baseline's part on the calling side (the call and the reading,
// which the search makes too). True when that ratio is within the goal.
bool print_cost_model() {
	Grid &g = grid_of_side(60);
	veltrin_test::PathServiceFixture &path = *g.path;
	const Callable provider = g.script_only->shared_edges_provider(path.walk_layers(), Array());
	path.begin_query(g.graph);
	path.workspace["edges"] = Dictionary();
	Dictionary answer;
	const ModelledNs searched = modelled_ns([&] { answer = run_search(g, "search", provider); });
	const double settled = double(Dictionary(answer.get("settled", Dictionary())).size());
	path.workspace["edges"] = Dictionary();
	const Array &cells = g.graph.cells;
	const ModelledNs calls = modelled_ns([&] {
		for (int64_t i = 0; i < cells.size(); i++) {
			benchmark::DoNotOptimize(provider.call(cells[i]));
		}
	});
	if (settled > 0) {
		std::printf("cost model, search with a script provider, 60x60 (%.0f nodes settled): own %.0f ns per node, inside the provider %.0f; the provider's calls alone %.0f; search / calls %.2f (engine 1.7)\n", settled, searched.own / settled,
		        searched.script / settled, (calls.caller + calls.script) / settled, searched.method() / (calls.caller + calls.script));
	}

	const MinimalProvider minimal = minimal_provider(g);
	Dictionary minimal_answer;
	const ModelledNs minimal_search = modelled_ns([&] { minimal_answer = run_search(g, "search", minimal.callable); });
	const double minimal_settled = double(Dictionary(minimal_answer.get("settled", Dictionary())).size());
	std::vector<Variant> answers(size_t(cells.size()));
	const ModelledNs provided = modelled_ns([&] {
		for (int64_t i = 0; i < cells.size(); i++) {
			answers[size_t(i)] = minimal.callable.call(cells[i]);
		}
	});
	std::vector<veltrin_native::Edge> edges;
	int64_t rows_read = 0;
	const ModelledNs reading = modelled_ns([&] {
		for (const Variant &rows : answers) {
			rows_read += read_rows(rows, g.graph.indices, edges);
		}
	});
	answers.clear();
	bool within = false;
	if (minimal_settled == double(cells.size()) && String(minimal_answer.get("status", Variant())) == String("usable")) {
		const double nodes = minimal_settled;
		const double call_ns = (provided.caller + provided.script) / nodes;
		const double read_ns = reading.caller / nodes;
		const double beyond = (minimal_search.own - provided.caller - reading.caller) / nodes;
		const double ratio = beyond / (call_ns + read_ns);
		within = ratio <= SEARCH_OWN_GOAL;
		std::printf("cost model, search with a minimal script provider, 60x60 (%.0f nodes, %.1f rows each): own %.0f ns per node, %.0f beyond the provider call; provider call %.0f ns per node (Callable::call, dispatch and `return _edges.get(cell, [])` %.0f, reading its rows %.0f); own beyond / provider call %.2f (goal <= %.1f): %s\n",
		        nodes, double(rows_read) / nodes, minimal_search.own / nodes, beyond, call_ns + read_ns, call_ns, read_ns, ratio, SEARCH_OWN_GOAL, within ? "within" : "ABOVE");
		ModelledNs both = provided;
		for (size_t kind = 0; kind < size_t(engine_double::internal::Cost::COUNT); kind++) {
			both.kinds[kind] += reading.kinds[kind];
		}
		std::printf("  for comparison, the reading counted as the search's own instead: (own beyond + reading) / call without reading %.2f\n", (beyond + read_ns) / call_ns);
		std::printf("  the whole search over the minimal provider's calls alone (as the engine's 1.7 with the game's provider): %.2f\n", minimal_search.method() / (provided.caller + provided.script));
		std::printf("  the search's own beyond the provider call, by operation kind (per node):\n");
		print_kind_difference(minimal_search, both, nodes, 16);
	} else {
		std::printf("cost model, search with a minimal script provider: the search did not expand the whole grid\n");
	}
	grid.reset();
	std::fflush(stdout);
	return within;
}

} // namespace

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
	const bool model_within = print_cost_model();
	if (model_check) {
		core = Variant();
		veltrin_test::close_plugin();
		return model_within ? 0 : 1;
	}
	register_benchmarks();
	RatioReporter reporter;
	benchmark::RunSpecifiedBenchmarks(&reporter);
	print_ratios(reporter);
	grid.reset();
	core = Variant();
	veltrin_test::close_plugin();
	benchmark::Shutdown();
	return 0;
}
