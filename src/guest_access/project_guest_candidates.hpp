#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>

namespace veltrin {

// project_guest_candidates: every facility's candidate row for one guest, in one query batch.
godot::Dictionary project_guest_candidates_impl(godot::Object *p_runtime, const godot::StringName &p_guest_id, int64_t p_open_state, int64_t p_degraded_state, int64_t p_movement_scale, int64_t p_stair_credit, int64_t p_orthogonal_cost, const godot::Callable &p_ticks);

} // namespace veltrin
