#include "route/walk_edge_context.hpp"

#include "common/builtin.hpp"
#include "common/script_paths.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

namespace {

bool read_int_constant(const godot::Dictionary &p_constants, const godot::StringName &p_name, int64_t &r_value) {
	const godot::Variant value = p_constants.get(p_name, godot::Variant());
	if (value.get_type() != godot::Variant::INT) {
		return false;
	}
	r_value = value;
	return true;
}

} // namespace

bool walk_edge_context(const WalkEdgeNames &p_names, godot::Object *p_path, const godot::Array &p_layers, const godot::Array &p_access, WalkEdgeContext &r_context) {
	if (p_path == nullptr || p_layers.size() != 2) {
		return false;
	}
	if (!p_access.is_empty()) {
		return false;
	}
	const godot::Variant first_layer = p_layers[0];
	const godot::Variant second_layer = p_layers[1];
	if (first_layer.get_type() != godot::Variant::INT || second_layer.get_type() != godot::Variant::INT) {
		return false;
	}

	// A script that merely extends the path service is not recognised: its rows may differ.
	godot::Object *script = builtin_script(p_names.resource_path, p_path, PATH_SERVICE_SCRIPT);
	if (script == nullptr) {
		return false;
	}
	if (!script->has_method(p_names.get_script_constant_map)) {
		return false;
	}
	const godot::Variant constants_value = script->call(p_names.get_script_constant_map);
	if (constants_value.get_type() != godot::Variant::DICTIONARY) {
		return false;
	}
	const godot::Dictionary constants = constants_value;

	WalkEdgeContext context;
	if (!read_int_constant(constants, p_names.front, context.front) ||
	        !read_int_constant(constants, p_names.back, context.back) ||
	        !read_int_constant(constants, p_names.orthogonal_move_cost, context.orthogonal_move_cost) ||
	        !read_int_constant(constants, p_names.congestion_cost_per_excess, context.congestion_cost_per_excess)) {
		return false;
	}
	const godot::Variant movement_walk = constants.get(p_names.movement_walk, godot::Variant());
	if (movement_walk.get_type() != godot::Variant::STRING_NAME) {
		return false;
	}
	context.movement_walk = movement_walk;

	if (int64_t(first_layer) != context.front || int64_t(second_layer) != context.back) {
		return false;
	}
	context.path = LiveObject(godot::Variant(p_path));
	r_context = context;
	return true;
}

} // namespace veltrin
