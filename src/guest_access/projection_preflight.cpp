#include "guest_access/projection_preflight.hpp"

#include "common/builtin.hpp"
#include "common/script_paths.hpp"

#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

namespace {

bool facilities_are_builtin(const ProjectionNames &p_names, const ProjectionServices &p_services, const godot::Array &p_instances) {
	// Every instance and definition is tested against the same two paths.
	const godot::String instance_script(FACILITY_INSTANCE_SCRIPT);
	const godot::String definition_script(FACILITY_DEFINITION_SCRIPT);
	// The instances share a script or two, as do the definitions.
	BuiltinScripts scripts;
	for (int64_t i = 0; i < p_instances.size(); i++) {
		const LiveObject instance(p_instances[i]);
		if (!scripts.builtin(p_names.resource_path, instance.get(), instance_script)) {
			return false;
		}
		const godot::Variant definition_id = instance->get(p_names.definition_id);
		const LiveObject definition(p_services.registry.call_held(p_names.get_facility, definition_id));
		// A facility of an unknown kind is left out later; it does not stop the projection.
		if (!definition.is_null() && !scripts.builtin(p_names.resource_path, definition.get(), definition_script)) {
			return false;
		}
	}
	return true;
}

} // namespace

PreflightOutcome projection_preflight(const ProjectionNames &p_names, const LiveObject &p_runtime, const godot::StringName &p_guest_id, const godot::Callable &p_ticks, ProjectionServices &r_services, godot::Array &r_instances) {
	if (!builtin(p_names.resource_path, p_runtime.get(), SIMULATION_RUNTIME_SCRIPT) || !p_ticks.is_valid()) {
		return PreflightOutcome::DECLINE;
	}
	r_services.path = LiveObject(p_runtime->get(p_names.path_service));
	r_services.elevators = LiveObject(p_runtime->get(p_names.elevators));
	r_services.facilities = LiveObject(p_runtime->get(p_names.facility_service));
	r_services.registry = LiveObject(p_runtime->get(p_names.definition_registry));
	r_services.inventory = LiveObject(p_runtime->get(p_names.inventory_service));
	r_services.guests = LiveObject(p_runtime->get(p_names.guest_service));
	if (!builtin(p_names.resource_path, r_services.path.get(), PATH_SERVICE_SCRIPT) ||
	        !builtin(p_names.resource_path, r_services.elevators.get(), ELEVATOR_SERVICE_SCRIPT) ||
	        !builtin(p_names.resource_path, r_services.facilities.get(), FACILITY_SERVICE_SCRIPT) ||
	        !builtin(p_names.resource_path, r_services.registry.get(), DEFINITION_REGISTRY_SCRIPT) ||
	        !builtin(p_names.resource_path, r_services.inventory.get(), INVENTORY_SERVICE_SCRIPT) ||
	        !builtin(p_names.resource_path, r_services.guests.get(), GUEST_SERVICE_SCRIPT)) {
		return PreflightOutcome::DECLINE;
	}
	if (!static_cast<bool>(p_runtime->call(p_names._guest_access_batch_can_select))) {
		return PreflightOutcome::DECLINE;
	}

	// A guest already freed when it is answered is no guest, as the game's script sees it.
	r_services.guest = LiveObject(r_services.guests->call(p_names.get_guest, p_guest_id));
	if (r_services.guest.is_null()) {
		return PreflightOutcome::NO_GUEST;
	}
	if (!builtin(p_names.resource_path, r_services.guest.get(), GUEST_RUNTIME_SCRIPT)) {
		return PreflightOutcome::DECLINE;
	}

	r_instances = r_services.facilities->call(p_names.get_instances);
	if (!facilities_are_builtin(p_names, r_services, r_instances)) {
		return PreflightOutcome::DECLINE;
	}
	return PreflightOutcome::PROCEED;
}

} // namespace veltrin
