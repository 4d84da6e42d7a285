#include "guest_access/candidate_rows.hpp"

#include "common/diagnostics.hpp"
#include "common/dictionary_reads.hpp"
#include "common/saturating_math.hpp"
#include "guest_access/input_names.hpp"
#include "guest_access/path_minutes.hpp"
#include "guest_access/tag_relief.hpp"

#include <godot_cpp/variant/variant.hpp>

#include <algorithm>
#include <cstdint>

namespace veltrin {

namespace {

constexpr int64_t QUALITY_MIN = 0;
constexpr int64_t QUALITY_MAX = 100;
constexpr int64_t GROUP_FIT_PER_SEAT = 5;
constexpr int64_t GROUP_FIT_SEATS = 4;

// Queue minutes spread over the seats; the product saturates instead of wrapping.
int64_t expected_wait(const ProjectionNames &p_names, const LiveObject &p_instance) {
	const int64_t service_minutes = p_instance->get(p_names.base_service_minutes);
	const godot::Array queue = p_instance->get(p_names.queue_entries);
	const int64_t capacity = p_instance->get(p_names.capacity);
	return saturating_multiply(service_minutes, queue.size()) / std::max<int64_t>(capacity, 1);
}

int64_t group_fit(const ProjectionNames &p_names, const LiveObject &p_instance) {
	const int64_t capacity = p_instance->get(p_names.capacity);
	return saturating_multiply(GROUP_FIT_PER_SEAT, std::min<int64_t>(capacity, GROUP_FIT_SEATS));
}

bool inputs_available(const ProjectionRun &p_run, const LiveObject &p_instance, const godot::Dictionary &p_inputs) {
	const ProjectionNames &names = p_run.names;
	bool own_order = false;
	const godot::Array order = ordered_input_names(names, p_run.runtime.get(), p_inputs, own_order);
	std::optional<godot::Variant> name_copy;
	for (int64_t i = 0; i < order.size(); i++) {
		// Read in place from a list of this call's own; copied from the runtime's answer,
		// which a script asked below may still change.
		const godot::Variant &name = own_order ? order[i] : name_copy.emplace(order[i]);
		const godot::Variant inventory_id = p_instance->get(names.local_inventory_id);
		const int64_t on_hand = p_run.services.inventory.call_held(names.available_quantity, inventory_id, name);
		const int64_t needed = entry_or(p_inputs, name, p_run.keys.search.nil);
		if (on_hand < needed) {
			return false;
		}
	}
	return true;
}

} // namespace

FacilityFilter filter_facility(const ProjectionRun &p_run, const LiveObject &p_instance, std::optional<godot::Array> &r_tags) {
	const ProjectionNames &names = p_run.names;
	const godot::Variant definition_id = p_instance->get(names.definition_id);
	const LiveObject definition(p_run.services.registry.call_held(names.get_facility, definition_id));
	if (definition.is_null()) {
		return FacilityFilter::PASS_OVER;
	}
	const godot::Array &tags = r_tags.emplace(definition->get(names.tags));
	if (tags.has(p_run.keys.staff_only)) {
		return FacilityFilter::PASS_OVER;
	}
	if (tags.has(p_run.keys.entrance) && static_cast<bool>(p_run.runtime->call(names._guest_has_checked_in, p_run.services.guest.variant()))) {
		return FacilityFilter::PASS_OVER;
	}
	const godot::Dictionary inputs = definition->get(names.inventory_inputs);
	return inputs_available(p_run, p_instance, inputs) ? FacilityFilter::FULL_ROW : FacilityFilter::SHORT_ROW;
}

godot::Dictionary short_candidate_row(const ProjectionRun &p_run, const LiveObject &p_instance) {
	godot::Dictionary row;
	row[p_run.keys.facility_id] = p_instance->get(p_run.names.instance_id);
	row.set(p_run.keys.inputs_available, p_run.keys.search.no);
	return row;
}

godot::Dictionary full_candidate_row(const ProjectionRun &p_run, const LiveObject &p_instance, const godot::Array &p_tags, const RowAccess &p_access) {
	const ProjectionNames &names = p_run.names;
	const ProjectionKeys &keys = p_run.keys;
	const ProjectionServices &services = p_run.services;
	const godot::Dictionary *script_access = p_access.script ? &*p_access.script : nullptr;
	std::optional<godot::Array> script_route;
	if (script_access) {
		script_route.emplace(script_access->has(keys.search.path) ? godot::Array((*script_access)[keys.search.path]) : godot::Array());
	}
	const godot::Array &route = script_route ? *script_route : static_cast<const godot::Array &>(p_access.native.route);
	// The runtime passed the builtin guard on entry, so only the tags' typing decides.
	const bool native_tags = p_tags.get_typed_builtin() == godot::Variant::STRING_NAME;
	const uint32_t tag_bits = native_tags ? builtin_tag_bits(keys.relief, p_tags) : 0;
	// Each row's relief is its own: built afresh, its six insertions cost less than a copy's
	// six entries.
	const godot::Dictionary need_relief = native_tags ? tag_relief(keys.relief, tag_bits) : godot::Dictionary(p_run.runtime->call(names._need_relief_for_facility_tags, p_tags));

	godot::Dictionary row;
	row[keys.facility_id] = p_instance->get(names.instance_id);
	row[keys.facility_tags] = p_tags.duplicate(false);
	const int64_t state = p_instance->get(names.state);
	// Values held by the key table are set as they are: no Variant made and released per row.
	const bool open = state == p_run.request.open_state || state == p_run.request.degraded_state;
	row.set(keys.is_open, open ? keys.search.yes : keys.search.no);
	if (script_access) {
		row.set(keys.search.reachable, script_access->get(keys.search.reachable, keys.search.no));
	} else {
		row.set(keys.search.reachable, p_access.native.reachable ? keys.search.yes : keys.search.no);
	}
	{
		VELTRIN_PHASE(PHASE_TRAVEL_MINUTES);
		// Both services passed the builtin guard on entry: the step memo is trusted.
		row[keys.travel_minutes] = guest_path_minutes(names, services.path, services.elevators, route, p_run.request.movement_scale, p_run.request.stair_credit, p_run.request.orthogonal_cost, true, keys.infrastructure_prefix);
	}
	row[keys.expected_wait] = expected_wait(names, p_instance);
	row[keys.estimated_total_gold] = p_run.runtime.call_held(names.get_facility_business_price, p_instance.variant());
	const int64_t quality = p_instance->get(names.base_quality);
	row[keys.expected_quality] = std::clamp(quality, QUALITY_MIN, QUALITY_MAX);
	row[keys.need_relief] = need_relief;
	row.set(keys.risk_level, keys.zero);
	row.set(keys.illegal_level, keys.zero);
	row[keys.group_fit] = group_fit(names, p_instance);
	if (native_tags) {
		row.set(keys.service_category, tag_category(keys.relief, tag_bits));
	} else {
		row[keys.service_category] = p_run.runtime->call(names._service_category_for_tags, p_tags);
	}

	godot::Dictionary handle;
	if (!script_access) {
		handle[keys.search.target_cell] = p_access.native.target_cell;
	} else {
		handle[keys.search.target_cell] = script_access->has(keys.search.target_cell) ? script_access->get(keys.search.target_cell, keys.search.nil) : services.guest->get(names.current_cell);
	}
	handle[keys.graph_revision] = services.path->get(names.graph_revision);
	row[keys.path_handle] = handle;
	return row;
}

} // namespace veltrin
