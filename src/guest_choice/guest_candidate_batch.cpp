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

// Checks every candidate, recording each one's facts by its position.
bool all_candidates_supported(const GuestCandidateKeyKinds &p_kinds, const Array &p_facilities, std::vector<GuestRowFacts> &r_facts) {
	const int64_t count = p_facilities.size();
	r_facts.resize(size_t(count));
	for (int64_t i = 0; i < count; i++) {
		const Variant &candidate = p_facilities[i];
		if (candidate.get_type() == Variant::DICTIONARY && !guest_candidate_supported(p_kinds, candidate, r_facts[size_t(i)])) {
			return false;
		}
	}
	return true;
}

// The row of one candidate, or false when the candidate has no usable id and is dropped.
bool build_row(const GuestBatchNames &p_names, const Dictionary &p_candidate, GuestRowFacts &&p_facts, GuestBatchRow &r_row) {
	r_row.facts = std::move(p_facts);
	const GuestRowFacts &facts = r_row.facts;
	const Variant *id_value = facts.find(p_names.facility_id);
	const StringName id = id_value ? *id_value : GuestBatchNames::value(facts, p_names.instance_id, p_names.empty.key);
	if (id.is_empty()) {
		return false;
	}
	r_row.facility_id = id;
	r_row.facility_text = String(id);
	r_row.candidate = p_candidate.duplicate(true);
	r_row.candidate[p_names.facility_id.key] = id;

	bool relief_checked = true;
	if (const Variant *found = facts.find(p_names.need_relief)) {
		const Variant &relief = *found;
		// A flat int relief is scored as it is.
		if (relief.get_type() != Variant::INT && !guest_need_levels(p_names, relief, r_row.relief_percent)) {
			for (int64_t &percent : r_row.relief_percent) {
				percent = 0;
			}
			r_row.need_maps_valid = false;
			relief_checked = false;
		}
	}
	const Variant *effects_value = relief_checked ? facts.find(p_names.need_effects) : nullptr;
	if (effects_value) {
		int64_t effects[GUEST_NEED_COUNT];
		if (!guest_need_levels(p_names, *effects_value, effects)) {
			r_row.need_maps_valid = false;
		}
	}
	return true;
}

Dictionary rejected_entry(const GuestBatchNames &p_names, const GuestBatchRow &p_row, const GuestBatchKey &p_reason) {
	Dictionary entry;
	entry[p_names.facility_id.key] = p_row.facility_text;
	entry[p_names.reason.key] = p_reason.text;
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
	const LiveObject owner { Variant(p_owner) };
	GuestFrame frame;
	if (!guest_frame_read(names, resource_path, owner, p_guest_id, frame)) {
		return declined_answer();
	}
	// The whole batch is checked before any row is built, so a decline builds nothing.
	const GuestCandidateKeyKinds kinds(names);
	std::vector<GuestRowFacts> facts;
	if (!all_candidates_supported(kinds, p_facilities, facts)) {
		return declined_answer();
	}

	GuestBatchRows batch;
	std::vector<GuestBatchRow> &rows = batch.rows;
	const int64_t facility_count = p_facilities.size();
	rows.reserve(size_t(facility_count));
	batch.texts.reserve(size_t(facility_count));
	for (int64_t i = 0; i < facility_count; i++) {
		const Variant &candidate = p_facilities[i];
		if (candidate.get_type() != Variant::DICTIONARY) {
			continue;
		}
		// Built in place: moving a row would copy its dictionaries in the engine.
		GuestBatchRow &row = rows.emplace_back();
		if (build_row(names, candidate, std::move(facts[size_t(i)]), row)) {
			const char32_t *text = row.facility_text.ptr();
			batch.texts.emplace_back(text, text + row.facility_text.length());
		} else {
			rows.pop_back();
		}
	}
	std::vector<uint32_t> order(rows.size());
	for (size_t i = 0; i < order.size(); i++) {
		order[i] = uint32_t(i);
	}
	if (order.size() > 1) {
		SortArray<uint32_t, GuestBatchFacilityOrder> facility_sorter;
		facility_sorter.compare.batch = &batch;
		facility_sorter.sort(order.data(), int64_t(order.size()));
	}

	guest_frame_read_budget(names, owner, context.has_absolute_minute, context.absolute_minute, frame);

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

	std::vector<uint32_t> rank_list;
	rank_list.reserve(rows.size());
	for (const uint32_t index : order) {
		GuestBatchRow &row = rows[index];
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
		if (names.flag(row.facts, names.ok, true)) {
			rank_list.push_back(index);
		}
	}
	if (rank_list.size() > 1) {
		SortArray<uint32_t, GuestBatchRankOrder> rank_sorter;
		rank_sorter.compare.batch = &batch;
		rank_sorter.sort(rank_list.data(), int64_t(rank_list.size()));
	}
	for (const uint32_t index : rank_list) {
		ranked.push_back(rows[index].candidate);
	}

	Dictionary result;
	result[names.supported.key] = true;
	result[names.ordered.key] = ordered;
	result[names.accepted.key] = accepted;
	result[names.rejected.key] = rejected;
	result[names.ranked.key] = ranked;
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
	} catch (const ObjectGone &) {
		// A getter freed the service, the guest or the definition: the script decides.
		return declined_answer();
	}
}

} // namespace veltrin
