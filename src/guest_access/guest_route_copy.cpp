#include "guest_access/guest_route_copy.hpp"

namespace veltrin {

#ifdef VELTRIN_NATIVE_ROUTE_COPY
godot::Variant copy_builtin_guest_route(const ProjectionNames &p_names, godot::Object *p_path, const godot::TypedArray<godot::Vector3i> &p_route) {
	// Cells are values, so a shallow duplicate is fully independent; it keeps the type.
	return p_route.duplicate(false);
}
#endif

godot::Variant cached_guest_route(const ProjectionNames &p_names, godot::Object *p_path, const godot::TypedArray<godot::Vector3i> &p_route) {
#ifdef VELTRIN_NATIVE_ROUTE_COPY
	return copy_builtin_guest_route(p_names, p_path, p_route);
#else
	return p_path->call(p_names._copy_path, p_route);
#endif
}

} // namespace veltrin
