#include "route/walking_provider.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

bool walking_provider_context(const WalkEdgeNames &p_names, const godot::Callable &p_provider, WalkEdgeContext &r_context) {
	if (p_provider.get_method() != p_names.guest_tree_shared_edges) {
		return false;
	}
	// Bound as provider.bind(layers, access): the cell is the only argument left to pass.
	if (p_provider.get_argument_count() != 1 || p_provider.get_bound_arguments_count() != 2 || p_provider.get_unbound_arguments_count() != 0) {
		return false;
	}
	const godot::Array bound = p_provider.get_bound_arguments();
	if (bound.size() != 2 || bound[0].get_type() != godot::Variant::ARRAY || bound[1].get_type() != godot::Variant::ARRAY) {
		return false;
	}
	return walk_edge_context(p_names, p_provider.get_object(), bound[0], bound[1], r_context);
}

} // namespace veltrin
