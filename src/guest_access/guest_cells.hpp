#pragma once

// Tests of one cell against the path service's state and the guest's permitted layers.

#include "guest_access/access_keys.hpp"
#include "guest_access/projection_names.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>

namespace veltrin {

// True when the cell's z is one of the permitted layers.
bool layer_permitted(const godot::TypedArray<int64_t> &p_layers, const godot::Vector3i &p_cell);
// The same test for a layer number already held as a Variant.
bool layer_permitted(const godot::TypedArray<int64_t> &p_layers, const godot::Variant &p_layer);

// True when the path service's _cell_traffic holds a non-empty entry for the cell whose
// "temporary_block" is set. Reads _cell_traffic on every call. p_cell_key is the cell as a
// Vector3i Variant.
bool blocked(const ProjectionNames &p_names, const AccessKeys &p_keys, godot::Object *p_path, const godot::Variant &p_cell_key);

} // namespace veltrin
