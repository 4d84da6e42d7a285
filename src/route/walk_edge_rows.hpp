#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/vector3i.hpp>

namespace veltrin {

// guest_tree_edge_rows: the walkable edge rows of one cell, computed natively.
godot::Dictionary guest_tree_edge_rows_impl(godot::Object *p_path, const godot::Vector3i &p_current, const godot::Array &p_layers, const godot::Array &p_access);

} // namespace veltrin
