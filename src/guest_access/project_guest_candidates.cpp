#include "guest_access/project_guest_candidates.hpp"

#include "common/answers.hpp"
#include "common/diagnostics.hpp"
#include "guest_access/candidate_rows.hpp"
#include "guest_access/facility_access_cells.hpp"
#include "guest_access/nearest_guest_access.hpp"
#include "guest_access/projection_names.hpp"
#include "guest_access/projection_preflight.hpp"
#include "guest_access/projection_run.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <optional>

namespace veltrin {

namespace {

// Opens the path service's query batch with every facility's access cells as its goals and
// returns the guest's current cell, the start of every search in the batch.
godot::Vector3i open_query_batch(const ProjectionNames &p_names, const ProjectionServices &p_services, const godot::Array &p_instances) {
	VELTRIN_PHASE(PHASE_GOAL_BATCH_PREPARE);
	godot::Array goals;
	for (int64_t i = 0; i < p_instances.size(); i++) {
		// Every element passed the preflight; one freed since ends the call.
		const LiveObject instance(p_instances[i]);
		if (instance.is_null()) {
			throw ObjectGone();
		}
		append_facility_access_cells(p_names, p_services.path, instance, goals);
	}
	const godot::Vector3i current_cell = p_services.guest->get(p_names.current_cell);
	p_services.path->call(p_names.begin_guest_path_query_batch, current_cell, goals);
	return current_cell;
}

void close_query_batch(const ProjectionNames &p_names, const ProjectionServices &p_services) {
	VELTRIN_PHASE(PHASE_BATCH_END);
	// Also on the way out of a call whose objects a script freed: the batch this call opened
	// is closed whenever the service is still there.
	if (godot::Object *path = p_services.path.alive()) {
		path->call(p_names.end_guest_path_query_batch);
	}
}

// Throws ObjectGone unless the runtime, every service and the guest are still there: rows
// are never answered for a guest or a world a script freed in the middle of the call.
void confirm_objects(const ProjectionRun &p_run) {
	const ProjectionServices &services = p_run.services;
	for (const LiveObject *object : { &p_run.runtime, &services.path, &services.elevators, &services.facilities, &services.registry, &services.inventory, &services.guests, &services.guest }) {
		object->get();
	}
}

void timed_access_cells(const ProjectionNames &p_names, const LiveObject &p_path, const LiveObject &p_instance, AccessCells &r_cells) {
	VELTRIN_PHASE(PHASE_FACILITY_ACCESS_CELLS);
	gather_facility_access_cells(p_names, p_path, p_instance, r_cells);
}

void project_facility(const ProjectionRun &p_run, const LiveObject &p_instance, godot::Array &r_candidates) {
	const ProjectionNames &names = p_run.names;
	std::optional<godot::Array> tags;
	{
		VELTRIN_PHASE(PHASE_FACILITY_INPUT_FILTER);
		const FacilityFilter filter = filter_facility(p_run, p_instance, tags);
		if (filter == FacilityFilter::PASS_OVER) {
			return;
		}
		if (filter == FacilityFilter::SHORT_ROW) {
			r_candidates.append(short_candidate_row(p_run, p_instance));
			return;
		}
	}
	AccessCells cells;
	timed_access_cells(names, p_run.services.path, p_instance, cells);
	const godot::Vector3i origin = p_instance->get(names.origin);
	const AccessQuery query { names, p_run.keys.search, p_run.services.path, p_run.current_cell, p_run.current_cell_key, p_run.current_layer, p_run.layers, p_run.access, p_run.layers_arg, p_run.access_arg, p_run.key_texts };
	RowAccess access { nearest_guest_access_on_builtin_path(query, cells, origin, p_run.request.ticks), std::nullopt };
	if (!access.native.supported) {
		// The native search does not cover this facility: the runtime finds the route.
		access.script = godot::Dictionary(p_run.runtime->call(names._find_facility_access_path, p_run.current_cell, p_instance.variant()));
	}
	VELTRIN_PHASE(PHASE_ROW_PREPARE);
	r_candidates.append(full_candidate_row(p_run, p_instance, *tags, access));
}

} // namespace

godot::Dictionary project_guest_candidates_impl(godot::Object *p_runtime, const godot::StringName &p_guest_id, int64_t p_open_state, int64_t p_degraded_state, int64_t p_movement_scale, int64_t p_stair_credit, int64_t p_orthogonal_cost, const godot::Callable &p_ticks) {
	VELTRIN_PHASE(PHASE_PROJECTION_TOTAL);
	// Built inside the preflight phase, which counts the table's construction.
	std::optional<ProjectionNames> names_slot;
	ProjectionServices services;
	const LiveObject runtime { godot::Variant(p_runtime) };
	godot::Array first_instances;
	PreflightOutcome outcome = PreflightOutcome::DECLINE;
	{
		VELTRIN_PHASE(PHASE_PROJECTION_GUARD_PREFLIGHT);
		names_slot.emplace();
		outcome = projection_preflight(*names_slot, runtime, p_guest_id, p_ticks, services, first_instances);
	}
	const ProjectionNames &names = *names_slot;
	if (outcome == PreflightOutcome::DECLINE) {
		return declined_answer();
	}
	godot::Dictionary answer;
	answer[names.supported] = true;
	godot::Array candidates;
	if (outcome == PreflightOutcome::NO_GUEST) {
		answer[names.candidates] = candidates;
		return answer;
	}

	ProjectionRequest request;
	request.open_state = p_open_state;
	request.degraded_state = p_degraded_state;
	request.movement_scale = p_movement_scale;
	request.stair_credit = p_stair_credit;
	request.orthogonal_cost = p_orthogonal_cost;
	request.ticks = p_ticks;
	const ProjectionKeys keys(names);
	CacheKeyTexts key_texts;
	ProjectionRun run { names, keys, runtime, services, request, godot::Vector3i(), godot::TypedArray<int64_t>(), godot::TypedArray<godot::StringName>(), godot::Variant(), godot::Variant(), godot::Variant(), godot::Variant(), key_texts };
	run.current_cell = open_query_batch(names, services, first_instances);
	run.current_cell_key = run.current_cell;
	run.current_layer = static_cast<int64_t>(run.current_cell.z);

	// From here on the batch is open: every way out closes it.
	try {
		run.layers.push_back(static_cast<int64_t>(0));
		run.layers.push_back(static_cast<int64_t>(1));
		run.layers_arg = run.layers;
		run.access_arg = run.access;
		const godot::Array instances = services.facilities->call(names.get_instances);
		for (int64_t i = 0; i < instances.size(); i++) {
			const LiveObject instance(instances[i]);
			// Only the first list was checked; a hole in the second has nothing to read.
			if (!instance.is_null()) {
				project_facility(run, instance, candidates);
			}
		}
		confirm_objects(run);
	} catch (...) {
		close_query_batch(names, services);
		throw;
	}
	close_query_batch(names, services);
	answer[names.candidates] = candidates;
	return answer;
}

} // namespace veltrin
