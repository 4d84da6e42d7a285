#pragma once

#include "route/edge_cache.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>

#include <cstdint>

namespace veltrin {

// search and search_cached: runs the kernel over the script's cell graph (node i is
// p_cells[i], p_indices maps a cell to its node), asking p_edge_provider for the rows of each
// expanded cell only, or computing them natively when the provider is the path service's own
// walking provider. The cache is read and filled only when p_use_cache is true. Never throws:
// any standard exception becomes {"status": "unusable"}.
godot::Dictionary search_impl(const godot::Array &p_cells, const godot::Dictionary &p_indices, int64_t p_start_index, const godot::Dictionary &p_goals, const godot::Callable &p_edge_provider, EdgeCache &r_edge_cache, bool p_use_cache);

} // namespace veltrin
