// Runs the search kernel and the oracle's reference search on one decoded
// graph and requires identical records: status, every list, and the order of
// the edge lookups. Any difference aborts with both records on stderr.
//
// Seeds: kernel_differential_fuzzer --write-seeds=<dir> writes the checked-in
// corpus (see kernel_seeds.hpp) and exits.

#include "graph_input.hpp"
#include "kernel_seeds.hpp"

#include "native/search.hpp"
#include "oracle/case_line.hpp"
#include "oracle/original_numeric.hpp"
#include "oracle/record_text.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

using veltrin_fuzz::GraphInput;
using veltrin_oracle::GraphEdge;

[[noreturn]] void report(const char *p_what, const GraphInput &p_input, const std::string &p_reference,
        const std::string &p_kernel) {
	const std::string line = veltrin_oracle::case_line(0, p_input.to_search_case(), p_reference, p_kernel);
	std::fprintf(stderr, "kernel_differential_fuzzer: %s\nindex\tcase\treference\tkernel:\n%s", p_what, line.c_str());
	std::abort();
}

template <typename Edge>
struct EdgeRange {
	const Edge *first;
	const Edge *last;
	const Edge *begin() const { return first; }
	const Edge *end() const { return last; }
};

// A lookup over one block of edges that logs every node it is asked for.
// Out-of-range nodes get no edges; the log shows the call.
template <typename Edge>
struct LoggedGraph {
	const std::vector<Edge> &edges;
	const std::vector<size_t> &starts;
	std::vector<int64_t> calls;

	LoggedGraph(const std::vector<Edge> &p_edges, const std::vector<size_t> &p_starts) :
	        edges(p_edges), starts(p_starts) {}

	EdgeRange<Edge> lookup(int64_t p_node) {
		calls.push_back(p_node);
		if (p_node < 0 || static_cast<uint64_t>(p_node) + 1 >= starts.size()) {
			return { nullptr, nullptr };
		}
		const Edge *base = edges.data();
		return { base + starts[static_cast<size_t>(p_node)], base + starts[static_cast<size_t>(p_node) + 1] };
	}
};

// The reference reads the decoded edges as they are; the kernel gets them
// converted to its own Edge type, as the plug-in hands them over.
using ReferenceGraph = LoggedGraph<GraphEdge>;

using KernelGraph = LoggedGraph<veltrin_native::Edge>;

std::vector<veltrin_native::Edge> kernel_edges_of(const GraphInput &p_input) {
	std::vector<veltrin_native::Edge> edges;
	edges.reserve(p_input.edges.size());
	for (const GraphEdge &edge : p_input.edges) {
		edges.push_back(veltrin_native::Edge { edge.target, edge.cost });
	}
	return edges;
}

// The kernel takes the edges as a borrowed range or, as the oracle hands
// them, as a fresh vector of its own per lookup.
veltrin_native::Result run_kernel(const GraphInput &p_input, KernelGraph &r_graph) {
	if (p_input.edges_by_reference) {
		return veltrin_native::search(p_input.node_count, p_input.start, p_input.goals,
		        [&r_graph](int64_t p_node) { return r_graph.lookup(p_node); });
	}
	return veltrin_native::search(p_input.node_count, p_input.start, p_input.goals, [&r_graph](int64_t p_node) {
		const EdgeRange<veltrin_native::Edge> range = r_graph.lookup(p_node);
		return std::vector<veltrin_native::Edge>(range.begin(), range.end());
	});
}

// The same comparison as the oracle's record texts, without rendering them
// on every run: the texts are only built to report a difference.
bool same_records(const veltrin_native::Result &p_kernel, const std::vector<int64_t> &p_kernel_calls,
        const original_numeric::Result &p_reference, const std::vector<int64_t> &p_reference_calls) {
	return p_kernel.status == p_reference.status && p_kernel.cost_values == p_reference.cost_values &&
	        p_kernel.parent_indices == p_reference.parent_indices && p_kernel.discovered == p_reference.discovered &&
	        p_kernel.parent_discovered == p_reference.parent_discovered && p_kernel.settled == p_reference.settled &&
	        p_kernel_calls == p_reference_calls;
}

// Properties of any correct record, so a fault shared by both searches still
// shows: each settled node's edges are fetched once, in settling order, and
// only the last settled node may go unfetched (the search ended on its goals).
void check_record_shape(const veltrin_native::Result &p_record, const std::vector<int64_t> &p_calls,
        const GraphInput &p_input) {
	const std::string &status = p_record.status;
	const size_t settled = p_record.settled.size();
	const bool start_valid = p_input.start >= 0 && p_input.start < p_input.node_count;
	const char *problem = nullptr;
	if (status != "usable" && status != "unusable" && status != "wrapped") {
		problem = "unknown status";
	} else if (p_calls.size() > settled || settled - p_calls.size() > 1 ||
	        !std::equal(p_calls.begin(), p_calls.end(), p_record.settled.begin())) {
		problem = "lookups are not the settled nodes in order";
	} else if (!start_valid && (status != "unusable" || !p_record.cost_values.empty() || !p_record.discovered.empty())) {
		problem = "invalid start did not give an empty unusable record";
	}
	if (problem) {
		const std::string text = veltrin_oracle::result(p_record, p_calls);
		report(problem, p_input, text, text);
	}
}

// A node count past what a vector can hold must fail as an allocation
// failure, before anything is allocated.
void check_unaddressable_count(const GraphInput &p_input) {
	const std::vector<veltrin_native::Edge> edges = kernel_edges_of(p_input);
	KernelGraph graph(edges, p_input.edge_starts);
	try {
		run_kernel(p_input, graph);
	} catch (const std::bad_alloc &) {
		return;
	}
	report("unaddressable node count did not throw bad_alloc", p_input, "", "");
}

} // namespace

// Every run allocates and frees a few dozen small blocks; with the default
// 256 MB quarantine, reuse is delayed so long that most of the time went to
// page faults. Blocks of one run are still quarantined for many later runs.
extern "C" const char *__asan_default_options() {
	return "quarantine_size_mb=16";
}

extern "C" int LLVMFuzzerInitialize(int *p_argc, char ***p_argv) {
	const char *prefix = "--write-seeds=";
	for (int i = 1; i < *p_argc; i++) {
		const char *argument = (*p_argv)[i];
		if (std::strncmp(argument, prefix, std::strlen(prefix)) == 0) {
			std::exit(veltrin_fuzz::write_kernel_seeds(argument + std::strlen(prefix)) ? 0 : 1);
		}
	}
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *p_data, size_t p_size) {
	const GraphInput input = veltrin_fuzz::decode_graph_input(p_data, p_size);
	const bool start_valid = input.start >= 0 && input.start < input.node_count;
	if (start_valid && input.node_count > veltrin_fuzz::MAX_FUZZ_NODES) {
		// Counts between the two would really try to allocate; they are not run.
		if (static_cast<uint64_t>(input.node_count) > std::vector<int64_t>().max_size()) {
			check_unaddressable_count(input);
		}
		return 0;
	}
	ReferenceGraph reference_graph(input.edges, input.edge_starts);
	const original_numeric::Result reference = original_numeric::search(input.node_count, input.start, input.goals,
	        [&reference_graph](int64_t p_node) { return reference_graph.lookup(p_node); });
	const std::vector<veltrin_native::Edge> kernel_edges = kernel_edges_of(input);
	KernelGraph graph(kernel_edges, input.edge_starts);
	graph.calls.reserve(reference_graph.calls.size());
	const veltrin_native::Result record = run_kernel(input, graph);
	if (!same_records(record, graph.calls, reference, reference_graph.calls)) {
		report("kernel and reference records differ", input, veltrin_oracle::result(reference, reference_graph.calls),
		        veltrin_oracle::result(record, graph.calls));
	}
	check_record_shape(record, graph.calls, input);
	return 0;
}
