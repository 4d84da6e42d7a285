#pragma once

#include "native/edge.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <vector>

namespace veltrin {

// Turns an edge provider's answer (an Array of [target cell, int cost] rows) into kernel
// edges, targets numbered through p_indices. Reading stops at the first bad row, which is
// replaced by an edge the kernel rejects (negative target or non-positive cost): a value
// that is not an Array, a malformed row or a non-positive cost, and a target missing from
// p_indices (kept as -1).
void translate_edge_rows(const godot::Variant &p_rows, const godot::Dictionary &p_indices, std::vector<veltrin_native::Edge> &r_edges);

} // namespace veltrin
