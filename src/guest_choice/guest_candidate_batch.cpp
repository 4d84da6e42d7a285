#include "guest_choice/guest_candidate_batch.hpp"

#include "common/answers.hpp"
#include "common/builtin.hpp"
#include "common/script_paths.hpp"
#include "guest_choice/guest_batch_context.hpp"
#include "guest_choice/guest_batch_names.hpp"
#include "guest_choice/guest_batch_row.hpp"
#include "guest_choice/guest_candidate_supported.hpp"
#include "guest_choice/guest_evaluate.hpp"
#include "guest_choice/guest_frame.hpp"
#include "guest_choice/guest_need_map.hpp"
#include "guest_choice/guest_rejection.hpp"

#include <godot_cpp/templates/sort_array.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

using namespace godot;

namespace veltrin {

namespace {

bool all_candidates_supported(const GuestBatchNames &p_names, const Array &p_facilities) {
	const GuestCandidateKeyKinds kinds(p_names);
	const int64_t count = p_facilities.size();
	for (int64_t i = 0; i < count; i++) {
		const Variant &candidate = p_facilities[i];
		if (candidate.get_type() == Variant::DICTIONARY && !guest_candidate_supported(kinds, candidate)) {
			return false;
		}
	}
	return true;
}

// The row of one candidate, or false when the candidate has no usable id and is dropped.
bool build_row(const GuestBatchNames &p_names, const Dictionary &p_candidate, GuestBatchRow &r_row) {
	Variant id_value;
	if (GuestBatchNames::has(p_candidate, p_names.facility_id)) {
		id_value = GuestBatchNames::value(p_candidate, p_names.facility_id, Variant());
	} else {
		id_value = GuestBatchNames::value(p_candidate, p_names.instance_id, p_names.empty.name);
	}
	const StringName id = id_value;
	if (id.is_empty()) {
		return false;
	}
	r_row.facility_id = id;
	r_row.facility_text = String(id);
	r_row.candidate = p_candidate.duplicate(true);
	r_row.candidate[p_names.facility_id.name] = id;

	const Dictionary &copy = r_row.candidate;
	bool relief_checked = true;
	if (GuestBatchNames::has(copy, p_names.need_relief)) {
		const Variant relief = GuestBatchNames::value(copy, p_names.need_relief, Variant());
		// A flat int relief is scored as it is.
		if (relief.get_type() != Variant::INT && !guest_normalize_need(p_names, relief, r_row.relief_map)) {
			r_row.relief_map = Dictionary();
			r_row.need_maps_valid = false;
			relief_checked = false;
		}
	}
	if (relief_checked && GuestBatchNames::has(copy, p_names.need_effects)) {
		Dictionary effects;
		if (!guest_normalize_need(p_names, GuestBatchNames::value(copy, p_names.need_effects, Variant()), effects)) {
			r_row.need_maps_valid = false;
		}
	}
	return true;
}

Dictionary rejected_entry(const GuestBatchNames &p_names, const GuestBatchRow &p_row, const GuestBatchKey &p_reason) {
	Dictionary entry;
	entry[p_names.facility_id.name] = p_row.facility_text;
	entry[p_names.reason.name] = p_reason.text;
	return entry;
}

Dictionary evaluate_batch(Object *p_owner, const StringName &p_guest_id, const Array &p_facilities, const Dictionary &p_context) {
	const GuestBatchNames names;
	// The script property the recogniser reads; the only name the batch needs beyond its table.
	const StringName resource_path("resource_path");

	if (!builtin(resource_path, p_owner, GUEST_SERVICE_SCRIPT)) {
		return declined_answer();
	}
	GuestBatchContext context;
	if (!guest_batch_context_read(names, p_context, context)) {
		return declined_answer();
	}
	GuestFrame frame;
	if (!guest_frame_read(names, resource_path, p_owner, p_guest_id, frame)) {
		return declined_answer();
	}
	// The whole batch is checked before any row is built, so a decline builds nothing.
	if (!all_candidates_supported(names, p_facilities)) {
		return declined_answer();
	}

	std::vector<GuestBatchRow> rows;
	const int64_t facility_count = p_facilities.size();
	rows.reserve(size_t(facility_count));
	for (int64_t i = 0; i < facility_count; i++) {
		const Variant &candidate = p_facilities[i];
		if (candidate.get_type() != Variant::DICTIONARY) {
			continue;
		}
		GuestBatchRow row;
		if (build_row(names, candidate, row)) {
			rows.push_back(std::move(row));
		}
	}
	if (rows.size() > 1) {
		SortArray<GuestBatchRow, GuestBatchFacilityOrder> facility_sorter;
		facility_sorter.sort(rows.data(), int64_t(rows.size()));
	}

	guest_frame_read_budget(names, p_owner, context.has_absolute_minute, context.absolute_minute, frame);

	TypedArray<Dictionary> ordered;
	TypedArray<Dictionary> accepted;
	TypedArray<Dictionary> rejected;
	TypedArray<Dictionary> ranked;

	GuestRuleInputs rule_inputs;
	rule_inputs.context = &context;
	rule_inputs.type_id = frame.type_id;
	rule_inputs.guest_tags = &frame.tag_names;
	rule_inputs.now = frame.now;
	rule_inputs.wallet = frame.wallet;
	rule_inputs.credit_available = frame.credit_available;
	rule_inputs.reserve = frame.reserve;
	rule_inputs.risk_tolerance = frame.risk_tolerance;

	GuestUtilityInputs utility_inputs;
	utility_inputs.need_levels = frame.need_levels;
	utility_inputs.preference_weights = frame.preference_weights;
	utility_inputs.weights_by_name = frame.weights_by_name;
	utility_inputs.visited = &frame.visited_names;
	utility_inputs.wallet = frame.wallet;
	utility_inputs.credit_available = frame.credit_available;
	utility_inputs.risk_tolerance = frame.risk_tolerance;

	std::vector<GuestBatchRow> rank_list;
	rank_list.reserve(rows.size());
	for (GuestBatchRow &row : rows) {
		ordered.push_back(row.candidate);
		// The guest's own values are read again for every row, as the guest service sees them now.
		rule_inputs.adult_verified = frame.definition->get(names.adult_verified.name);
		rule_inputs.planned_exit = frame.guest->get(names.planned_exit_at.name);
		rule_inputs.legal_sensitivity = frame.definition->get(names.legal_sensitivity.name);
		rule_inputs.minimum_quality = frame.definition->get(names.minimum_quality.name);

		const GuestBatchKey &reason = guest_rejection(names, row, rule_inputs);
		if (&reason != &names.empty) {
			rejected.push_back(rejected_entry(names, row, reason));
			continue;
		}
		accepted.push_back(row.candidate);
		guest_evaluate(names, row, utility_inputs);
		if (GuestBatchNames::flag(row.candidate, names.ok, true)) {
			rank_list.push_back(row);
		}
	}
	if (rank_list.size() > 1) {
		SortArray<GuestBatchRow, GuestBatchRankOrder> rank_sorter;
		rank_sorter.sort(rank_list.data(), int64_t(rank_list.size()));
	}
	for (const GuestBatchRow &row : rank_list) {
		ranked.push_back(row.candidate);
	}

	Dictionary result;
	result[names.supported.name] = true;
	result[names.ordered.name] = ordered;
	result[names.accepted.name] = accepted;
	result[names.rejected.name] = rejected;
	result[names.ranked.name] = ranked;
	return result;
}

} // namespace

Dictionary guest_candidate_batch_impl(Object *p_owner, const StringName &p_guest_id, const Array &p_facilities, const Dictionary &p_context) {
	// Running out of memory, or a container outgrowing its limit, leaves the batch to the
	// script instead of giving a partial answer.
	try {
		return evaluate_batch(p_owner, p_guest_id, p_facilities, p_context);
	} catch (const std::bad_alloc &) {
		return declined_answer();
	} catch (const std::length_error &) {
		return declined_answer();
	}
}

} // namespace veltrin
