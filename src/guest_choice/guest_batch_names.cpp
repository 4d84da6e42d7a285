#include "guest_choice/guest_batch_names.hpp"

#include "guest_choice/guest_candidate_supported.hpp"

using namespace godot;

namespace veltrin {

GuestBatchNames::GuestBatchNames() :
        empty(""),
        ADULT_NOT_VERIFIED("ADULT_NOT_VERIFIED"),
        CANNOT_PAY("CANNOT_PAY"),
        CONTENT_FILTERED("CONTENT_FILTERED"),
        ETA_AFTER_EXIT("ETA_AFTER_EXIT"),
        FACILITY_CLOSED("FACILITY_CLOSED"),
        FORBIDDEN_GUEST_TAG("FORBIDDEN_GUEST_TAG"),
        GUEST_TYPE_NOT_ALLOWED("GUEST_TYPE_NOT_ALLOWED"),
        ILLEGALITY_REFUSED("ILLEGALITY_REFUSED"),
        INVALID_NEED_MAP("INVALID_NEED_MAP"),
        MISSING_INPUTS("MISSING_INPUTS"),
        MISSING_PERMISSION("MISSING_PERMISSION"),
        QUALITY_TOO_LOW("QUALITY_TOO_LOW"),
        RISK_REFUSED("RISK_REFUSED"),
        UNREACHABLE("UNREACHABLE"),
        WAIT_HARD_LIMIT("WAIT_HARD_LIMIT"),
        absolute_minute("absolute_minute"),
        accepted("accepted"),
        addiction_by_tag("addiction_by_tag"),
        adult("adult"),
        adult_content_enabled("adult_content_enabled"),
        adult_only("adult_only"),
        adult_verified("adult_verified"),
        allow_credit("allow_credit"),
        allowed_guest_types("allowed_guest_types"),
        credit_allowed("credit_allowed"),
        credit_limit_gold("credit_limit_gold"),
        current_minute("current_minute"),
        debt_gold("debt_gold"),
        discretionary("discretionary"),
        entertainment("entertainment"),
        estimated_total_gold("estimated_total_gold"),
        exit_reason("exit_reason"),
        exit_threshold("exit_threshold"),
        expected_quality("expected_quality"),
        expected_wait("expected_wait"),
        facility_id("facility_id"),
        facility_tags("facility_tags"),
        forbidden_guest_tags("forbidden_guest_tags"),
        frugal("frugal"),
        gambling("gambling"),
        get_definition("get_definition"),
        get_guest("get_guest"),
        group_fit("group_fit"),
        guest_type_id("guest_type_id"),
        hunger("hunger"),
        hygiene("hygiene"),
        illegal_level("illegal_level"),
        inputs_available("inputs_available"),
        instance_id("instance_id"),
        intimacy("intimacy"),
        is_open("is_open"),
        legal_permission_override("legal_permission_override"),
        legal_sensitivity("legal_sensitivity"),
        leisure("leisure"),
        medical("medical"),
        minimum_quality("minimum_quality"),
        need_effects("need_effects"),
        need_priority("need_priority"),
        need_relief("need_relief"),
        needs("needs"),
        novelty("novelty"),
        ok("ok"),
        open("open"),
        open_at_arrival("open_at_arrival"),
        ordered("ordered"),
        planned_exit_at("planned_exit_at"),
        preference("preference"),
        preference_weights("preference_weights"),
        price_burden("price_burden"),
        price_gold("price_gold"),
        quality("quality"),
        quoted_price("quoted_price"),
        ranked("ranked"),
        reachable("reachable"),
        reason("reason"),
        rejected("rejected"),
        repetition_penalty("repetition_penalty"),
        required_guest_tags("required_guest_tags"),
        requires_adult_verified("requires_adult_verified"),
        respect_survival_reserve("respect_survival_reserve"),
        risk("risk"),
        risk_level("risk_level"),
        risk_sensitivity("risk_sensitivity"),
        risk_tolerance("risk_tolerance"),
        service_category("service_category"),
        sleep("sleep"),
        spendthrift("spendthrift"),
        supported("supported"),
        tags("tags"),
        tourism("tourism"),
        travel_minutes("travel_minutes"),
        urgency("urgency"),
        utility("utility"),
        utility_terms("utility_terms"),
        visited_facility_ids("visited_facility_ids"),
        wait_hard_limit("wait_hard_limit"),
        wait_minutes("wait_minutes"),
        wallet_gold("wallet_gold") {
}

bool GuestBatchNames::has(const Dictionary &p_dictionary, const GuestBatchKey &p_key) {
	return p_dictionary.has(p_key.key);
}

Variant GuestBatchNames::value(const Dictionary &p_dictionary, const GuestBatchKey &p_key, const Variant &p_default) {
	return p_dictionary.get(p_key.key, p_default);
}

int64_t GuestBatchNames::integer(const Dictionary &p_dictionary, const GuestBatchKey &p_key, int64_t p_default) {
	return value(p_dictionary, p_key, p_default);
}

bool GuestBatchNames::flag(const Dictionary &p_dictionary, const GuestBatchKey &p_key, bool p_default) {
	const Variant found = value(p_dictionary, p_key, p_default);
	if (found.get_type() == Variant::INT) {
		return int64_t(found) != 0;
	}
	return found;
}

bool GuestBatchNames::has(const GuestRowFacts &p_facts, const GuestBatchKey &p_key) {
	return p_facts.find(p_key) != nullptr;
}

const Variant &GuestBatchNames::value(const GuestRowFacts &p_facts, const GuestBatchKey &p_key, const Variant &p_default) {
	const Variant *found = p_facts.find(p_key);
	return found ? *found : p_default;
}

int64_t GuestBatchNames::integer(const GuestRowFacts &p_facts, const GuestBatchKey &p_key, int64_t p_default) {
	const Variant *found = p_facts.find(p_key);
	return found ? int64_t(*found) : p_default;
}

bool GuestBatchNames::flag(const GuestRowFacts &p_facts, const GuestBatchKey &p_key, bool p_default) {
	const Variant *found = p_facts.find(p_key);
	if (found == nullptr) {
		return p_default;
	}
	if (found->get_type() == Variant::INT) {
		return int64_t(*found) != 0;
	}
	return *found;
}

} // namespace veltrin
