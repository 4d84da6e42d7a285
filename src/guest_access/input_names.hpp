#pragma once

#include "guest_access/projection_names.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>

namespace veltrin {

// The order in which a facility's inventory inputs are checked. The runtime's own
// _sorted_name_keys answer, converted to an Array.
godot::Array runtime_sorted_input_names(const ProjectionNames &p_names, godot::Object *p_runtime, const godot::Dictionary &p_inputs);

#ifdef VELTRIN_NATIVE_INPUT_ORDER
// The input names in code-point order of their text, as an Array typed StringName, when the
// runtime is the game's own and every name is a StringName; otherwise (and when memory for
// the ordering runs out) the runtime's own answer.
godot::Array sorted_builtin_input_names(const ProjectionNames &p_names, godot::Object *p_runtime, const godot::Dictionary &p_inputs);
#endif

// The order the projection uses, for a runtime it already found to be the game's own: the
// native one when it is built in, then typed only when it holds two names or more (the
// projection only reads it). r_own is true when the list is this call's own, which no script
// holds.
godot::Array ordered_input_names(const ProjectionNames &p_names, godot::Object *p_builtin_runtime, const godot::Dictionary &p_inputs, bool &r_own);

} // namespace veltrin
