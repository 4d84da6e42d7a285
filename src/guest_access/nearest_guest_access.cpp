#include "guest_access/nearest_guest_access.hpp"

#include "extension/answers.hpp"
#include "extension/diagnostics.hpp"

namespace veltrin {

godot::Dictionary nearest_guest_access_impl(godot::Object *p_path, const godot::Vector3i &p_start, const godot::Array &p_goals, const godot::Vector3i &p_fallback_target, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, const godot::Callable &p_ticks) {
	VELTRIN_PHASE(PHASE_NEAREST_TOTAL);
	return declined_answer();
}

} // namespace veltrin
