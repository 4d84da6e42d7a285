#pragma once

#include "native/result.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>

namespace veltrin {

// The search answer: "status" first, then, for a usable search only, "cost_values" and
// "parent_indices" (PackedInt64Array, one entry per cell), "discovered" and
// "parent_discovered" (Array[int]) and "settled" ({cell: true} in settling order).
// A usable search whose per-cell arrays cannot be sized answers "unusable".
godot::Dictionary search_result_dictionary(const veltrin_native::Result &p_result, const godot::Array &p_cells);

} // namespace veltrin
