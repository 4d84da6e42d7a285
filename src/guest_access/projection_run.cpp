#include "guest_access/projection_run.hpp"

namespace veltrin {

HeldObject hold_object(const godot::Variant &p_value) {
	HeldObject held;
	held.value = p_value;
	held.object = p_value.get_validated_object();
	return held;
}

} // namespace veltrin
