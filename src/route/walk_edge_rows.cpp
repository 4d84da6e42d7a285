#include "route/walk_edge_rows.hpp"

#include "extension/answers.hpp"

namespace veltrin {

godot::Dictionary guest_tree_edge_rows_impl(godot::Object *p_path, const godot::Vector3i &p_current, const godot::Array &p_layers, const godot::Array &p_access) {
	return declined_answer();
}

} // namespace veltrin
