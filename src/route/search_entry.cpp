#include "route/search_entry.hpp"

#include "extension/answers.hpp"
#include "extension/diagnostics.hpp"

namespace veltrin {

godot::Dictionary search_impl(const godot::Array &p_cells, const godot::Dictionary &p_indices, int64_t p_start_index, const godot::Dictionary &p_goals, const godot::Callable &p_edge_provider, EdgeCache &r_edge_cache, bool p_use_cache) {
	VELTRIN_PHASE(PHASE_NUMERIC_SEARCH_TOTAL);
	return unusable_answer();
}

} // namespace veltrin
