#pragma once

#include "route/walk_edge_context.hpp"
#include "route/walk_edge_names.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/vector3i.hpp>

namespace veltrin {

// The walk edge rows of p_current ([target cell, cost] pairs in adjacency order), computed
// as the path service's script would for plain walking, and memoised in the service's
// query workspace ("edges"), which the script shares. Returns false, writing nothing, for
// any case it cannot answer completely (connectors, access-controlled or non-walking edges,
// unexpected types); the caller then asks the script. On true r_rows is the memoised Array
// itself, not a copy.
bool builtin_walk_edge_rows(const WalkEdgeNames &p_names, const WalkEdgeContext &p_context, const godot::Vector3i &p_current, godot::Array &r_rows);

// guest_tree_edge_rows: {"supported": true, "rows": rows} when the native rows answer,
// {"supported": false} otherwise.
godot::Dictionary guest_tree_edge_rows_impl(godot::Object *p_path, const godot::Vector3i &p_current, const godot::Array &p_layers, const godot::Array &p_access);

} // namespace veltrin
