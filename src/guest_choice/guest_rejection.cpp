#include "guest_choice/guest_rejection.hpp"

#include "guest_choice/guest_candidate_facts.hpp"
#include "guest_choice/guest_name_lists.hpp"
#include "guest_choice/guest_row_reads.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

using namespace godot;

namespace veltrin {

namespace {

constexpr int64_t PERCENT_MAX = 100;

bool adult_gate(const GuestBatchNames &p_names, const GuestRowFacts &p_row) {
	return p_names.flag(p_row, p_names.adult_only, p_names.flag(p_row, p_names.requires_adult_verified, false));
}

// Whether the guest lacks a name of the row's list.
bool misses_required_tag(const std::vector<StringName> &p_required, const std::vector<StringName> &p_guest_tags) {
	for (const StringName &name : p_required) {
		if (!guest_names_contain(p_guest_tags, name)) {
			return true;
		}
	}
	return false;
}

bool carries_forbidden_tag(const std::vector<StringName> &p_forbidden, const std::vector<StringName> &p_guest_tags) {
	for (const StringName &name : p_forbidden) {
		if (guest_names_contain(p_guest_tags, name)) {
			return true;
		}
	}
	return false;
}

// now + travel > planned exit, decided without forming a sum that may not fit.
bool arrives_after_exit(int64_t p_now, int64_t p_travel, int64_t p_planned_exit) {
	return WideInt(p_now) + WideInt(p_travel) > WideInt(p_planned_exit);
}

// The spendable gold of a row that keeps the survival reserve.
WideInt spendable_above_reserve(const GuestRuleInputs &p_inputs) {
	const WideInt left = WideInt(p_inputs.wallet) - WideInt(p_inputs.reserve);
	return left < 0 ? WideInt(0) : left;
}

bool cannot_pay(const GuestBatchNames &p_names, const GuestRowFacts &p_row, const GuestRuleInputs &p_inputs) {
	const WideInt price = guest_price(p_names, p_row);
	const WideInt with_reserve = spendable_above_reserve(p_inputs);
	const WideInt without_reserve = p_inputs.wallet;
	// Whether the row keeps the reserve matters only when one of the two leaves a shortfall;
	// most rows are cheap enough for both, and the answer then needs no reading of the row.
	if (price <= with_reserve && price <= without_reserve) {
		return false;
	}
	const bool respects_reserve = p_names.flag(p_row, p_names.respect_survival_reserve, guest_discretionary(p_names, p_row));
	const WideInt shortfall = price - (respects_reserve ? with_reserve : without_reserve);
	if (shortfall <= 0) {
		return false;
	}
	const bool may_use_credit = p_names.flag(p_row, p_names.credit_allowed, p_names.flag(p_row, p_names.allow_credit, false));
	return !(may_use_credit && shortfall <= p_inputs.credit_available);
}

int64_t hard_wait_limit(const GuestBatchNames &p_names, const GuestRowFacts &p_row, const GuestBatchContext &p_context) {
	return p_names.integer(p_row, p_names.wait_hard_limit, p_context.wait_hard_limit);
}

} // namespace

const GuestBatchKey &guest_rejection(const GuestBatchNames &p_names, const GuestBatchRow &p_row, const GuestRuleInputs &p_inputs) {
	const GuestRowFacts &row = p_row.facts;
	const std::vector<StringName> &guest_tags = *p_inputs.guest_tags;

	if (!p_row.need_maps_valid) {
		return p_names.INVALID_NEED_MAP;
	}
	if (!p_names.flag(row, p_names.inputs_available, true)) {
		return p_names.MISSING_INPUTS;
	}
	if (adult_gate(p_names, row)) {
		if (!p_inputs.adult_verified) {
			return p_names.ADULT_NOT_VERIFIED;
		}
		if (!p_inputs.context->adult_content_enabled) {
			return p_names.CONTENT_FILTERED;
		}
	}
	if (misses_required_tag(guest_name_list(GuestBatchNames::value(row, p_names.required_guest_tags, row.kinds->nil)), guest_tags)) {
		return p_names.MISSING_PERMISSION;
	}
	if (carries_forbidden_tag(guest_name_list(GuestBatchNames::value(row, p_names.forbidden_guest_tags, row.kinds->nil)), guest_tags)) {
		return p_names.FORBIDDEN_GUEST_TAG;
	}
	const std::vector<StringName> allowed_types = guest_name_list(GuestBatchNames::value(row, p_names.allowed_guest_types, row.kinds->nil));
	if (!allowed_types.empty() && !guest_names_contain(allowed_types, p_inputs.type_id)) {
		return p_names.GUEST_TYPE_NOT_ALLOWED;
	}
	const bool open = p_names.flag(row, p_names.is_open, p_names.flag(row, p_names.open, true));
	if (!open && !p_names.flag(row, p_names.open_at_arrival, false)) {
		return p_names.FACILITY_CLOSED;
	}
	if (!p_names.flag(row, p_names.reachable, true)) {
		return p_names.UNREACHABLE;
	}
	if (p_inputs.now >= 0) {
		const int64_t travel = p_names.integer(row, p_names.travel_minutes, 0);
		if (arrives_after_exit(p_inputs.now, travel < 0 ? 0 : travel, p_inputs.planned_exit)) {
			return p_names.ETA_AFTER_EXIT;
		}
	}
	if (cannot_pay(p_names, row, p_inputs)) {
		return p_names.CANNOT_PAY;
	}
	const int64_t wait = guest_first_integer(p_names, row, p_names.wait_minutes, p_names.expected_wait, 0);
	if ((wait < 0 ? 0 : wait) >= hard_wait_limit(p_names, row, *p_inputs.context)) {
		return p_names.WAIT_HARD_LIMIT;
	}
	const int64_t risk = clamp_int64(guest_first_integer(p_names, row, p_names.risk_level, p_names.risk, 0), 0, PERCENT_MAX);
	if (risk > p_inputs.risk_tolerance) {
		return p_names.RISK_REFUSED;
	}
	const int64_t illegality = clamp_int64(p_names.integer(row, p_names.illegal_level, 0), 0, PERCENT_MAX);
	if (WideInt(illegality) > WideInt(PERCENT_MAX) - WideInt(p_inputs.legal_sensitivity) && !p_names.flag(row, p_names.legal_permission_override, false)) {
		return p_names.ILLEGALITY_REFUSED;
	}
	const int64_t quality = guest_first_integer(p_names, row, p_names.expected_quality, p_names.quality, 0);
	const int64_t required_quality = clamp_int64(p_names.integer(row, p_names.minimum_quality, p_inputs.minimum_quality), 0, PERCENT_MAX);
	if ((quality < 0 ? 0 : quality) < required_quality) {
		return p_names.QUALITY_TOO_LOW;
	}
	return p_names.empty;
}

} // namespace veltrin
