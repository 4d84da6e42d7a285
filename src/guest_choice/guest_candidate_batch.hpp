#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>

namespace veltrin {

// guest_candidate_batch: rejects, scores and ranks one guest's facility candidates.
godot::Dictionary guest_candidate_batch_impl(godot::Object *p_owner, const godot::StringName &p_guest_id, const godot::Array &p_facilities, const godot::Dictionary &p_context);

} // namespace veltrin
