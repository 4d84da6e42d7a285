#include "guest_access/projection_preflight.hpp"

#include "common/builtin.hpp"
#include "common/script_paths.hpp"

#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

namespace {

bool facilities_are_builtin(const ProjectionNames &p_names, const ProjectionServices &p_services, const godot::Array &p_instances) {
	for (int64_t i = 0; i < p_instances.size(); i++) {
		godot::Object *instance = hold_object(p_instances[i]).object;
		if (!builtin(p_names.resource_path, instance, FACILITY_INSTANCE_SCRIPT)) {
			return false;
		}
		const HeldObject definition = hold_object(p_services.registry.object->call(p_names.get_facility, instance->get(p_names.definition_id)));
		// A facility of an unknown kind is left out later; it does not stop the projection.
		if (definition.object != nullptr && !builtin(p_names.resource_path, definition.object, FACILITY_DEFINITION_SCRIPT)) {
			return false;
		}
	}
	return true;
}

} // namespace

PreflightOutcome projection_preflight(const ProjectionNames &p_names, godot::Object *p_runtime, const godot::StringName &p_guest_id, const godot::Callable &p_ticks, ProjectionServices &r_services, godot::Array &r_instances) {
	if (!builtin(p_names.resource_path, p_runtime, SIMULATION_RUNTIME_SCRIPT) || !p_ticks.is_valid()) {
		return PreflightOutcome::DECLINE;
	}
	r_services.path = hold_object(p_runtime->get(p_names.path_service));
	r_services.elevators = hold_object(p_runtime->get(p_names.elevators));
	r_services.facilities = hold_object(p_runtime->get(p_names.facility_service));
	r_services.registry = hold_object(p_runtime->get(p_names.definition_registry));
	r_services.inventory = hold_object(p_runtime->get(p_names.inventory_service));
	r_services.guests = hold_object(p_runtime->get(p_names.guest_service));
	if (!builtin(p_names.resource_path, r_services.path.object, PATH_SERVICE_SCRIPT) ||
	        !builtin(p_names.resource_path, r_services.elevators.object, ELEVATOR_SERVICE_SCRIPT) ||
	        !builtin(p_names.resource_path, r_services.facilities.object, FACILITY_SERVICE_SCRIPT) ||
	        !builtin(p_names.resource_path, r_services.registry.object, DEFINITION_REGISTRY_SCRIPT) ||
	        !builtin(p_names.resource_path, r_services.inventory.object, INVENTORY_SERVICE_SCRIPT) ||
	        !builtin(p_names.resource_path, r_services.guests.object, GUEST_SERVICE_SCRIPT)) {
		return PreflightOutcome::DECLINE;
	}
	if (!static_cast<bool>(p_runtime->call(p_names._guest_access_batch_can_select))) {
		return PreflightOutcome::DECLINE;
	}

	r_services.guest = hold_object(r_services.guests.object->call(p_names.get_guest, p_guest_id));
	if (r_services.guest.object == nullptr) {
		return PreflightOutcome::NO_GUEST;
	}
	if (!builtin(p_names.resource_path, r_services.guest.object, GUEST_RUNTIME_SCRIPT)) {
		return PreflightOutcome::DECLINE;
	}

	r_instances = r_services.facilities.object->call(p_names.get_instances);
	if (!facilities_are_builtin(p_names, r_services, r_instances)) {
		return PreflightOutcome::DECLINE;
	}
	return PreflightOutcome::PROCEED;
}

} // namespace veltrin
