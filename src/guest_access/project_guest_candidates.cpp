#include "guest_access/project_guest_candidates.hpp"

#include "extension/answers.hpp"
#include "extension/diagnostics.hpp"

namespace veltrin {

godot::Dictionary project_guest_candidates_impl(godot::Object *p_runtime, const godot::StringName &p_guest_id, int64_t p_open_state, int64_t p_degraded_state, int64_t p_movement_scale, int64_t p_stair_credit, int64_t p_orthogonal_cost, const godot::Callable &p_ticks) {
	VELTRIN_PHASE(PHASE_PROJECTION_TOTAL);
	return declined_answer();
}

} // namespace veltrin
