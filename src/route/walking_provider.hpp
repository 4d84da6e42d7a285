#pragma once

#include "route/walk_edge_context.hpp"
#include "route/walk_edge_names.hpp"

#include <godot_cpp/variant/callable.hpp>

namespace veltrin {

// Recognises the path service's own edge provider, _guest_tree_shared_edges bound with its
// layer and access arrays, and fills r_context from it so the search can compute walking
// rows natively. Any other provider, or one the walk edge rows refuse, leaves r_context as
// it was and returns false.
bool walking_provider_context(const WalkEdgeNames &p_names, const godot::Callable &p_provider, WalkEdgeContext &r_context);

} // namespace veltrin
