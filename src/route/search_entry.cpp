#include "route/search_entry.hpp"

#include "common/answers.hpp"
#include "common/diagnostics.hpp"
#include "common/live_object.hpp"
#include "native/search.hpp"
#include "route/edge_translation.hpp"
#include "route/search_result.hpp"
#include "route/walk_edge_context.hpp"
#include "route/walk_edge_names.hpp"
#include "route/walk_edge_rows.hpp"
#include "route/walking_provider.hpp"

#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <exception>
#include <vector>

namespace veltrin {

namespace {

// Everything the edge lookup of one search call works with.
struct SearchCall {
	const godot::Array &cells;
	const godot::Dictionary &indices;
	const godot::Callable &provider;
	EdgeCache *cache = nullptr; // Null for an uncached search.
	WalkEdgeNames names;
	WalkEdgeContext walk_context; // Empty unless the provider is the path service's own.
	godot::Array arguments; // The cell, reused for every provider call.
	// The cells as the search numbered them, taken before the first call that may run a
	// script (none runs on a warm cache); unset until then.
	godot::Array numbered;
	bool numbered_taken = false;
	godot::Array native_rows;
	std::vector<veltrin_native::Edge> edges;

	SearchCall(const godot::Array &p_cells, const godot::Dictionary &p_indices, const godot::Callable &p_provider) :
	        cells(p_cells), indices(p_indices), provider(p_provider) {}
};

// The rows of one cell: natively for plain walking cells when the provider allows it,
// otherwise from the provider.
godot::Variant cell_rows(SearchCall &r_call, const godot::Variant &p_cell) {
	// The provider's script may have freed the path service (a node, say) since its rows
	// were last read here: one gone ends the search.
	if (!r_call.walk_context.path.is_null()) {
		r_call.walk_context.path.get();
	}
	if (p_cell.get_type() == godot::Variant::VECTOR3I &&
	        builtin_walk_edge_rows(r_call.names, r_call.walk_context, p_cell, r_call.native_rows)) {
		return r_call.native_rows;
	}
	if (r_call.arguments.size() != 1) {
		r_call.arguments = godot::Array();
		r_call.arguments.resize(1);
	}
	r_call.arguments[0] = p_cell;
	return r_call.provider.callv(r_call.arguments);
}

EdgeSpan node_edges(SearchCall &r_call, int64_t p_node) {
	EdgeSpan span;
	if (r_call.cache != nullptr && r_call.cache->find(p_node, span)) {
		return span;
	}
	if (!r_call.numbered_taken) {
		// A shallow copy: the engine shares the elements until either list is written.
		r_call.numbered = r_call.cells.duplicate(false);
		r_call.numbered_taken = true;
	}
	// The provider may have shrunk the shared cell list; a missing cell reads as nil.
	const godot::Variant cell = p_node < r_call.cells.size() ? r_call.cells[p_node] : godot::Variant();
	translate_edge_rows(cell_rows(r_call, cell), r_call.indices, r_call.edges);
	if (r_call.cache != nullptr) {
		return r_call.cache->store(p_node, r_call.edges);
	}
	span.first = r_call.edges.data();
	span.last = span.first + r_call.edges.size();
	return span;
}

// Whether the cells the search numbered still stand where they stood: a provider may append
// cells (they are no nodes of this search), but not move or remove numbered ones, or the
// answer's per-node lists would describe other cells.
bool numbering_kept(const godot::Array &p_cells, const godot::Array &p_numbered) {
	const int64_t count = p_numbered.size();
	const int64_t now = p_cells.size();
	if (now < count) {
		return false;
	}
	// One comparison in the engine for the whole list, whatever its length.
	const godot::Array prefix = now == count ? p_cells : p_cells.slice(0, count);
	if (prefix == p_numbered) {
		return true;
	}
	// The engine's equality takes a NaN for unlike itself: a cell that is still the same
	// value (or the same container) has not moved.
	for (int64_t i = 0; i < count; i++) {
		if (!godot::UtilityFunctions::is_same(prefix[i], p_numbered[i])) {
			return false;
		}
	}
	return true;
}

godot::Dictionary run_search(const godot::Array &p_cells, const godot::Dictionary &p_indices, int64_t p_start_index, const godot::Dictionary &p_goals, const godot::Callable &p_edge_provider, EdgeCache &r_edge_cache, bool p_use_cache) {
	const int64_t node_count = p_cells.size();
	if (p_start_index < 0 || p_start_index >= node_count || !p_edge_provider.is_valid()) {
		return unusable_answer();
	}

	// A goal cell missing from the numbering becomes -1: the search then never stops early.
	const godot::Array goal_cells = p_goals.keys();
	const godot::Variant absent = int64_t(-1);
	std::vector<int64_t> goals;
	goals.reserve(static_cast<size_t>(goal_cells.size()));
	for (int64_t i = 0; i < goal_cells.size(); i++) {
		goals.push_back(int64_t(p_indices.get(goal_cells[i], absent)));
	}

	SearchCall call(p_cells, p_indices, p_edge_provider);
	call.cache = p_use_cache ? &r_edge_cache : nullptr;
	call.arguments.resize(1);
	walking_provider_context(call.names, p_edge_provider, call.walk_context);

	const veltrin_native::Result result = veltrin_native::search(node_count, p_start_index, goals,
	        [&call](int64_t p_node) { return node_edges(call, p_node); });
	// A provider that moved or removed numbered cells renumbered the graph under the search.
	if (call.numbered_taken && !numbering_kept(p_cells, call.numbered)) {
		return unusable_answer();
	}
	return search_result_dictionary(result, p_cells);
}

} // namespace

godot::Dictionary search_impl(const godot::Array &p_cells, const godot::Dictionary &p_indices, int64_t p_start_index, const godot::Dictionary &p_goals, const godot::Callable &p_edge_provider, EdgeCache &r_edge_cache, bool p_use_cache) {
	VELTRIN_PHASE(PHASE_NUMERIC_SEARCH_TOTAL);
	try {
		return run_search(p_cells, p_indices, p_start_index, p_goals, p_edge_provider, r_edge_cache, p_use_cache);
	} catch (const std::exception &) {
		return unusable_answer();
	}
}

} // namespace veltrin
