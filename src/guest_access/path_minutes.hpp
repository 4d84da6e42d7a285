#pragma once

#include "common/live_object.hpp"
#include "guest_access/projection_names.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/string.hpp>

#include <cstdint>

namespace veltrin {

// Walking minutes of a route: one per step on plain ground, or the path service's cost of
// the whole route in orthogonal steps (rounded up) once a step rides an elevator or climbs
// a costed stair. With a non-positive p_orthogonal_cost, which cannot convert a cost into
// steps, a costed route counts its steps too and its cost is not asked for.
int64_t guest_path_minutes(const ProjectionNames &p_names, const LiveObject &p_path_service, const LiveObject &p_elevator_service, const godot::Array &p_route, int64_t p_movement_scale, int64_t p_stair_credit, int64_t p_orthogonal_cost);

// The same, for a caller that has already tested whether both services are the game's own
// (p_services_builtin), which decides whether the path service's step memo is trusted, and
// made the infrastructure connectors' id prefix once for all its routes
// (INFRASTRUCTURE_CONNECTOR_PREFIX).
int64_t guest_path_minutes(const ProjectionNames &p_names, const LiveObject &p_path_service, const LiveObject &p_elevator_service, const godot::Array &p_route, int64_t p_movement_scale, int64_t p_stair_credit, int64_t p_orthogonal_cost, bool p_services_builtin, const godot::String &p_infrastructure_prefix);

// The id prefix of the connectors whose stairs may be costed.
constexpr const char *INFRASTRUCTURE_CONNECTOR_PREFIX = "infra.connector:";

} // namespace veltrin
