#include "guest_choice/guest_candidate_batch.hpp"

#include "extension/answers.hpp"

namespace veltrin {

godot::Dictionary guest_candidate_batch_impl(godot::Object *p_owner, const godot::StringName &p_guest_id, const godot::Array &p_facilities, const godot::Dictionary &p_context) {
	return declined_answer();
}

} // namespace veltrin
