#include "guest_choice/guest_candidate_facts.hpp"

#include "guest_choice/guest_name_lists.hpp"
#include "guest_choice/guest_row_reads.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

using namespace godot;

namespace veltrin {

int64_t guest_price(const GuestBatchNames &p_names, const GuestRowFacts &p_candidate) {
	int64_t price = 0;
	if (!guest_optional_integer(p_names, p_candidate, p_names.estimated_total_gold, price)) {
		price = guest_first_integer(p_names, p_candidate, p_names.price_gold, p_names.quoted_price, 0);
	}
	return price < 0 ? 0 : price;
}

const Variant &guest_facility_tags(const GuestBatchNames &p_names, const GuestRowFacts &p_candidate) {
	if (GuestBatchNames::has(p_candidate, p_names.facility_tags)) {
		return GuestBatchNames::value(p_candidate, p_names.facility_tags, p_candidate.kinds->nil);
	}
	return GuestBatchNames::value(p_candidate, p_names.tags, p_candidate.kinds->nil);
}

bool guest_discretionary(const GuestBatchNames &p_names, const GuestRowFacts &p_candidate) {
	if (p_names.flag(p_candidate, p_names.discretionary, false)) {
		return true;
	}
	// The category list names tourism but not adult; the tag list the other way round.
	const StringName category = GuestBatchNames::value(p_candidate, p_names.service_category, p_names.empty.key);
	if (category == p_names.leisure.name || category == p_names.entertainment.name || category == p_names.gambling.name || category == p_names.intimacy.name || category == p_names.tourism.name) {
		return true;
	}
	for (const StringName &tag : guest_name_list(guest_facility_tags(p_names, p_candidate))) {
		if (tag == p_names.leisure.name || tag == p_names.entertainment.name || tag == p_names.gambling.name || tag == p_names.adult.name || tag == p_names.intimacy.name) {
			return true;
		}
	}
	return false;
}

int64_t guest_price(const GuestBatchNames &p_names, const Dictionary &p_candidate) {
	const GuestCandidateKeyKinds kinds(p_names);
	return guest_price(p_names, guest_row_facts(kinds, p_candidate));
}

bool guest_discretionary(const GuestBatchNames &p_names, const Dictionary &p_candidate) {
	const GuestCandidateKeyKinds kinds(p_names);
	return guest_discretionary(p_names, guest_row_facts(kinds, p_candidate));
}

} // namespace veltrin
