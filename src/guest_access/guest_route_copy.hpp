#pragma once

// The value a resolved guest route is cached as: an independent copy, so that a later
// change to the returned route never reaches the path service's cache.

#include "guest_access/projection_names.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

namespace veltrin {

#ifdef VELTRIN_NATIVE_ROUTE_COPY
// A new Array typed Vector3i with the route's cells in order.
godot::Variant copy_builtin_guest_route(const ProjectionNames &p_names, godot::Object *p_path, const godot::TypedArray<godot::Vector3i> &p_route);
#endif

// The copy to store: the native copy when it is built in, otherwise the path service's
// own _copy_path.
godot::Variant cached_guest_route(const ProjectionNames &p_names, godot::Object *p_path, const godot::TypedArray<godot::Vector3i> &p_route);

} // namespace veltrin
