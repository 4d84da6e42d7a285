#include "guest_choice/guest_evaluate.hpp"

#include "guest_choice/guest_candidate_facts.hpp"
#include "guest_choice/guest_name_lists.hpp"
#include "guest_choice/guest_row_reads.hpp"

#include <godot_cpp/variant/variant.hpp>

#include <array>
#include <utility>
#include <vector>

using namespace godot;

namespace veltrin {

namespace {

constexpr int64_t PERCENT_MAX = 100;
constexpr int64_t UNVISITED_NOVELTY = 10;
constexpr int64_t VISITED_REPETITION_PENALTY = 10;
constexpr int64_t RISK_SENSITIVITY_BASE = 124;
constexpr int64_t RISK_SENSITIVITY_STEP = 25;

struct NeedScore {
	int64_t relief = 0;
	int64_t priority = 0;
	int64_t top_need = 0;
};

int64_t at_least_zero(int64_t p_value) {
	return p_value < 0 ? 0 : p_value;
}

NeedScore score_needs(const GuestBatchNames &p_names, const GuestBatchRow &p_row, const int64_t *p_need_levels) {
	NeedScore score;
	const Variant &relief = GuestBatchNames::value(p_row.facts, p_names.need_relief, p_row.facts.kinds->zero);
	if (relief.get_type() == Variant::INT) {
		score.relief = at_least_zero(relief);
		return score;
	}
	if (relief.get_type() != Variant::DICTIONARY) {
		return score;
	}
	const std::array<const GuestBatchKey *, GUEST_NEED_COUNT> needs = guest_need_keys(p_names);
	for (size_t i = 0; i < needs.size(); i++) {
		const GuestBatchKey &need = *needs[i];
		const int64_t percent = p_row.relief_percent[i];
		const int64_t level = p_need_levels[i];
		const WideInt relieved = WideInt(at_least_zero(percent)) * WideInt(level) / PERCENT_MAX;
		const int64_t need_relief = saturate_to_int64(relieved);
		if (need_relief > score.relief) {
			score.relief = need_relief;
		}
		if (percent >= 1) {
			if (level > score.top_need) {
				score.top_need = level;
			}
			// Hygiene and medical needs raise the urgency but not the priority.
			const bool prioritised = &need == &p_names.hunger || &need == &p_names.sleep || &need == &p_names.leisure || &need == &p_names.intimacy;
			if (prioritised && level > score.priority) {
				score.priority = level;
			}
		}
	}
	return score;
}

int64_t preference_sum(const GuestBatchNames &p_names, const GuestRowFacts &p_row, const GuestUtilityInputs &p_inputs) {
	if (!p_inputs.weights_by_name) {
		return 0;
	}
	const Variant &tags_value = guest_facility_tags(p_names, p_row);
	if (tags_value.get_type() != Variant::ARRAY) {
		return 0;
	}
	// The tags as a name list would give, without ordering them: the sum does not depend on
	// the order. Each distinct non-empty name counts once.
	const Array tags = tags_value;
	const int64_t count = tags.size();
	std::vector<StringName> seen;
	seen.reserve(size_t(count));
	WideInt sum = 0;
	for (int64_t i = 0; i < count; i++) {
		const Variant &tag = tags[i];
		StringName name = tag;
		if (name.is_empty() || guest_names_contain(seen, name)) {
			continue;
		}
		// Every weight is an int, so nil means the tag has none. A StringName element is
		// already the key the name would make.
		const Variant weight = tag.get_type() == Variant::STRING_NAME ? p_inputs.preference_weights.get(tag, p_row.kinds->nil) : p_inputs.preference_weights.get(name, p_row.kinds->nil);
		seen.push_back(std::move(name));
		if (weight.get_type() == Variant::INT) {
			sum += WideInt(int64_t(weight));
		}
	}
	return saturate_to_int64(sum);
}

// The price as a percentage of what the guest can spend, rounded up, within 0..100.
int64_t default_price_burden(int64_t p_price, int64_t p_wallet, WideInt p_credit_available) {
	WideInt budget = WideInt(p_wallet) + p_credit_available;
	if (budget < 2) {
		budget = 1;
	}
	const WideInt burden = (WideInt(p_price) * PERCENT_MAX + budget - 1) / budget;
	return saturate_to_int64(burden < 0 ? WideInt(0) : (burden > PERCENT_MAX ? WideInt(PERCENT_MAX) : burden));
}

} // namespace

void guest_evaluate(const GuestBatchNames &p_names, GuestBatchRow &r_row, const GuestUtilityInputs &p_inputs) {
	if (r_row.facts.kinds == nullptr) {
		// A row built outside the batch: its facts are found first.
		const GuestCandidateKeyKinds kinds(p_names);
		r_row.facts = guest_row_facts(kinds, r_row.candidate);
		guest_evaluate(p_names, r_row, p_inputs);
		r_row.facts = GuestRowFacts();
		return;
	}
	const GuestRowFacts &row = r_row.facts;
	const NeedScore needs = score_needs(p_names, r_row, p_inputs.need_levels);

	int64_t preference = 0;
	if (!guest_optional_integer(p_names, row, p_names.preference, preference)) {
		preference = preference_sum(p_names, row, p_inputs);
	}
	const int64_t quality = guest_first_integer(p_names, row, p_names.expected_quality, p_names.quality, 0);
	const bool visited = guest_names_contain(*p_inputs.visited, r_row.facility_id);
	const int64_t novelty = p_names.integer(row, p_names.novelty, visited ? 0 : UNVISITED_NOVELTY);
	const int64_t group_fit = p_names.integer(row, p_names.group_fit, 0);
	int64_t price_burden = 0;
	if (!guest_optional_integer(p_names, row, p_names.price_burden, price_burden)) {
		price_burden = default_price_burden(guest_price(p_names, row), p_inputs.wallet, p_inputs.credit_available);
	}
	const int64_t travel = p_names.integer(row, p_names.travel_minutes, 0);
	const int64_t wait = guest_first_integer(p_names, row, p_names.wait_minutes, p_names.expected_wait, 0);
	// Read in the other order than the rejection rules do.
	const int64_t risk = guest_first_integer(p_names, row, p_names.risk, p_names.risk_level, 0);
	int64_t risk_sensitivity = 0;
	if (!guest_optional_integer(p_names, row, p_names.risk_sensitivity, risk_sensitivity)) {
		risk_sensitivity = saturate_to_int64((WideInt(RISK_SENSITIVITY_BASE) - WideInt(p_inputs.risk_tolerance)) / RISK_SENSITIVITY_STEP);
	}
	const int64_t repetition_penalty = p_names.integer(row, p_names.repetition_penalty, visited ? VISITED_REPETITION_PENALTY : 0);

	const int64_t t = at_least_zero(travel);
	const int64_t w = at_least_zero(wait);
	const int64_t r = at_least_zero(risk);
	const int64_t s = at_least_zero(risk_sensitivity);

	// Every term fits in 64 bits and S * R in 126, so the sum is exact in 128 bits and
	// only the result is clamped.
	const WideInt utility = 5 * (WideInt(preference) - price_burden) + 8 * WideInt(needs.relief) + 2 * (WideInt(group_fit) + novelty - t) + 3 * (WideInt(quality) - w) - WideInt(s) * r - repetition_penalty;

	const int64_t urgency = p_names.integer(row, p_names.urgency, needs.top_need);

	Dictionary evaluated = r_row.candidate.duplicate(true);
	evaluated[p_names.facility_id.key] = r_row.facility_id;
	evaluated[p_names.need_priority.key] = needs.priority;
	evaluated[p_names.utility.key] = saturate_to_int64(utility);
	evaluated[p_names.urgency.key] = urgency;
	evaluated[p_names.travel_minutes.key] = t;
	Dictionary terms;
	terms[p_names.need_relief.key] = needs.relief;
	terms[p_names.preference.key] = preference;
	terms[p_names.expected_quality.key] = quality;
	terms[p_names.novelty.key] = novelty;
	terms[p_names.group_fit.key] = group_fit;
	terms[p_names.price_burden.key] = price_burden;
	terms[p_names.travel_minutes.key] = t;
	terms[p_names.wait_minutes.key] = w;
	terms[p_names.risk.key] = r;
	terms[p_names.risk_sensitivity.key] = s;
	terms[p_names.repetition_penalty.key] = repetition_penalty;
	evaluated[p_names.utility_terms.key] = terms;

	r_row.candidate = evaluated;
	r_row.need_priority = needs.priority;
	r_row.utility = saturate_to_int64(utility);
	r_row.urgency = urgency;
	r_row.travel_minutes = t;
}

} // namespace veltrin
