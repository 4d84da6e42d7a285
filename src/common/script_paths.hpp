#pragma once

// Resource paths of the game's own scripts. An object whose attached script lies at one of
// these paths is trusted to hold the members the native code reads.

namespace veltrin {

constexpr const char *SIMULATION_RUNTIME_SCRIPT = "res://autoload/simulation_runtime.gd";
constexpr const char *PATH_SERVICE_SCRIPT = "res://scripts/world/path_service.gd";
constexpr const char *ELEVATOR_SERVICE_SCRIPT = "res://scripts/transport/elevator_service.gd";
constexpr const char *FACILITY_SERVICE_SCRIPT = "res://scripts/facility/facility_service.gd";
constexpr const char *DEFINITION_REGISTRY_SCRIPT = "res://scripts/core/definition_registry.gd";
constexpr const char *INVENTORY_SERVICE_SCRIPT = "res://scripts/inventory/inventory_service.gd";
constexpr const char *GUEST_SERVICE_SCRIPT = "res://scripts/guest/guest_service.gd";
constexpr const char *GUEST_RUNTIME_SCRIPT = "res://scripts/guest/guest_runtime.gd";
constexpr const char *GUEST_DEFINITION_SCRIPT = "res://scripts/guest/guest_definition.gd";
constexpr const char *FACILITY_INSTANCE_SCRIPT = "res://scripts/facility/facility_instance.gd";
constexpr const char *FACILITY_DEFINITION_SCRIPT = "res://scripts/data/facility_definition.gd";
constexpr const char *PERFORMANCE_BUDGET_SCRIPT = "res://scripts/core/performance_budget.gd";

} // namespace veltrin
