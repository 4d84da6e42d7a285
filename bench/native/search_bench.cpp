// The search kernel against the oracle's reference search (original_numeric,
// a map of cost buckets) on the same graphs in the same run. The closing table
// gives ns per settled node for both and the kernel's speedup.

#include "bench_graphs.hpp"
#include "counting_allocator.hpp"
#include "native/search.hpp"
#include "oracle/original_numeric.hpp"
#include "ratio_reporter.hpp"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>

namespace {

constexpr uint64_t GRAPH_SEED = 0x9e3779b97f4a7c15;
constexpr const char *SUBJECT = "kernel";
constexpr const char *BASELINE = "original_numeric";

template <typename Edge, typename Search>
void run_search(benchmark::State &p_state, const BenchGraph &p_graph, Search p_search) {
	const TypedGraph<Edge> lookup(p_graph);
	const double node_count = double(p_graph.node_count);

	// One untimed run for the sizes: every byte the search allocates is
	// counted, the peak and what the returned record keeps.
	counting_allocator::reset_peak();
	const size_t live_before = counting_allocator::live_bytes();
	size_t settled = 0;
	{
		const auto result = p_search(p_graph.node_count, p_graph.start, p_graph.goals, lookup);
		if (result.status != "usable") {
			p_state.SkipWithError("search did not run to its end");
			return;
		}
		settled = result.settled.size();
		const double peak = double(counting_allocator::peak_bytes() - live_before);
		const double record = double(counting_allocator::live_bytes() - live_before);
		p_state.counters["peak_B/node"] = peak / node_count;
		p_state.counters["record_B/node"] = record / node_count;
		p_state.counters["extra_B/node"] = (peak - record) / node_count;
	}

	for (auto _ : p_state) {
		auto result = p_search(p_graph.node_count, p_graph.start, p_graph.goals, lookup);
		benchmark::DoNotOptimize(result.settled.data());
	}
	p_state.counters["settled"] = double(settled);
	p_state.counters["per_settled"] = benchmark::Counter(double(settled) * double(p_state.iterations()),
	        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void register_pair(const BenchGraph &p_graph) {
	const std::string group = "search/" + p_graph.name + "/";
	benchmark::RegisterBenchmark((group + SUBJECT).c_str(), [&p_graph](benchmark::State &p_state) {
		run_search<veltrin_native::Edge>(p_state, p_graph, [](auto &&...p_arguments) {
			return veltrin_native::search(std::forward<decltype(p_arguments)>(p_arguments)...);
		});
	})->Unit(benchmark::kMillisecond);
	benchmark::RegisterBenchmark((group + BASELINE).c_str(), [&p_graph](benchmark::State &p_state) {
		run_search<original_numeric::Edge>(p_state, p_graph, [](auto &&...p_arguments) {
			return original_numeric::search(std::forward<decltype(p_arguments)>(p_arguments)...);
		});
	})->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char **argv) {
	benchmark::Initialize(&argc, argv);
	if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
		return 1;
	}
	// Built once; every benchmark of a pair reads the same graph.
	static const BenchGraph graphs[] = {
		grid_graph(1000, GRAPH_SEED, false),
		grid_graph(1000, GRAPH_SEED, true),
		sparse_graph(100000, GRAPH_SEED),
		sparse_graph(1000000, GRAPH_SEED),
	};
	for (const BenchGraph &graph : graphs) {
		register_pair(graph);
	}
	// Colours only on a terminal, so piped output stays plain text.
	RatioReporter reporter(SUBJECT, BASELINE,
	        isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_ColorTabular : benchmark::ConsoleReporter::OO_Tabular);
	benchmark::RunSpecifiedBenchmarks(&reporter);
	benchmark::Shutdown();
	return 0;
}
