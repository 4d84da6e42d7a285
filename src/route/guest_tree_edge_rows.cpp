#include "route/walk_edge_rows.hpp"

#include "common/answers.hpp"

#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

godot::Dictionary guest_tree_edge_rows_impl(godot::Object *p_path, const godot::Vector3i &p_current, const godot::Array &p_layers, const godot::Array &p_access) {
	const WalkEdgeNames names;
	WalkEdgeContext context;
	godot::Dictionary result = declined_answer();
	godot::Array rows;
	if (walk_edge_context(names, p_path, p_layers, p_access, context) && builtin_walk_edge_rows(names, context, p_current, rows)) {
		result[godot::StringName("supported")] = true;
		result[godot::StringName("rows")] = rows;
	}
	return result;
}

} // namespace veltrin
