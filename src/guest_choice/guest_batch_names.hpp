#pragma once

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>

namespace veltrin {

struct GuestRowFacts;

// One key of the guest batch, held in both forms a script may key a dictionary with, so
// that no lookup has to build a name.
struct GuestBatchKey {
	godot::StringName name;
	godot::String text;
	// The name as a dictionary key: a key converted per lookup costs two more engine calls.
	godot::Variant key;
	// name.hash(), asked once: the candidate key table places the key by it.
	int64_t hash;

	explicit GuestBatchKey(const char *p_text) :
	        name(p_text), text(p_text), key(name), hash(name.hash()) {}
};

// Every name the guest candidate batch reads or writes, built once per call. The first
// key is the empty name: the default facility id and the answer for an accepted row.
// The others follow in ascending character order; each member is named after its text.
struct GuestBatchNames {
	GuestBatchKey empty;
	GuestBatchKey ADULT_NOT_VERIFIED;
	GuestBatchKey CANNOT_PAY;
	GuestBatchKey CONTENT_FILTERED;
	GuestBatchKey ETA_AFTER_EXIT;
	GuestBatchKey FACILITY_CLOSED;
	GuestBatchKey FORBIDDEN_GUEST_TAG;
	GuestBatchKey GUEST_TYPE_NOT_ALLOWED;
	GuestBatchKey ILLEGALITY_REFUSED;
	GuestBatchKey INVALID_NEED_MAP;
	GuestBatchKey MISSING_INPUTS;
	GuestBatchKey MISSING_PERMISSION;
	GuestBatchKey QUALITY_TOO_LOW;
	GuestBatchKey RISK_REFUSED;
	GuestBatchKey UNREACHABLE;
	GuestBatchKey WAIT_HARD_LIMIT;
	GuestBatchKey absolute_minute;
	GuestBatchKey accepted;
	GuestBatchKey addiction_by_tag;
	GuestBatchKey adult;
	GuestBatchKey adult_content_enabled;
	GuestBatchKey adult_only;
	GuestBatchKey adult_verified;
	GuestBatchKey allow_credit;
	GuestBatchKey allowed_guest_types;
	GuestBatchKey credit_allowed;
	GuestBatchKey credit_limit_gold;
	GuestBatchKey current_minute;
	GuestBatchKey debt_gold;
	GuestBatchKey discretionary;
	GuestBatchKey entertainment;
	GuestBatchKey estimated_total_gold;
	GuestBatchKey exit_reason;
	GuestBatchKey exit_threshold;
	GuestBatchKey expected_quality;
	GuestBatchKey expected_wait;
	GuestBatchKey facility_id;
	GuestBatchKey facility_tags;
	GuestBatchKey forbidden_guest_tags;
	GuestBatchKey frugal;
	GuestBatchKey gambling;
	GuestBatchKey get_definition;
	GuestBatchKey get_guest;
	GuestBatchKey group_fit;
	GuestBatchKey guest_type_id;
	GuestBatchKey hunger;
	GuestBatchKey hygiene;
	GuestBatchKey illegal_level;
	GuestBatchKey inputs_available;
	GuestBatchKey instance_id;
	GuestBatchKey intimacy;
	GuestBatchKey is_open;
	GuestBatchKey legal_permission_override;
	GuestBatchKey legal_sensitivity;
	GuestBatchKey leisure;
	GuestBatchKey medical;
	GuestBatchKey minimum_quality;
	GuestBatchKey need_effects;
	GuestBatchKey need_priority;
	GuestBatchKey need_relief;
	GuestBatchKey needs;
	GuestBatchKey novelty;
	GuestBatchKey ok;
	GuestBatchKey open;
	GuestBatchKey open_at_arrival;
	GuestBatchKey ordered;
	GuestBatchKey planned_exit_at;
	GuestBatchKey preference;
	GuestBatchKey preference_weights;
	GuestBatchKey price_burden;
	GuestBatchKey price_gold;
	GuestBatchKey quality;
	GuestBatchKey quoted_price;
	GuestBatchKey ranked;
	GuestBatchKey reachable;
	GuestBatchKey reason;
	GuestBatchKey rejected;
	GuestBatchKey repetition_penalty;
	GuestBatchKey required_guest_tags;
	GuestBatchKey requires_adult_verified;
	GuestBatchKey respect_survival_reserve;
	GuestBatchKey risk;
	GuestBatchKey risk_level;
	GuestBatchKey risk_sensitivity;
	GuestBatchKey risk_tolerance;
	GuestBatchKey service_category;
	GuestBatchKey sleep;
	GuestBatchKey spendthrift;
	GuestBatchKey supported;
	GuestBatchKey tags;
	GuestBatchKey tourism;
	GuestBatchKey travel_minutes;
	GuestBatchKey urgency;
	GuestBatchKey utility;
	GuestBatchKey utility_terms;
	GuestBatchKey visited_facility_ids;
	GuestBatchKey wait_hard_limit;
	GuestBatchKey wait_minutes;
	GuestBatchKey wallet_gold;

	GuestBatchNames();
	GuestBatchNames(const GuestBatchNames &) = delete;
	GuestBatchNames &operator=(const GuestBatchNames &) = delete;

	// Whether p_dictionary holds the key under either form. A String key and a StringName
	// key of one text are one dictionary key, so one lookup by name answers for both.
	static bool has(const godot::Dictionary &p_dictionary, const GuestBatchKey &p_key);
	// The value under the key in either form, else a copy of p_default.
	static godot::Variant value(const godot::Dictionary &p_dictionary, const GuestBatchKey &p_key, const godot::Variant &p_default);
	// value() converted with the engine's integer conversion.
	static int64_t integer(const godot::Dictionary &p_dictionary, const GuestBatchKey &p_key, int64_t p_default);
	// value() read as a truth value: an int is true when it is not 0, anything else
	// takes the engine's conversion to bool.
	static bool flag(const godot::Dictionary &p_dictionary, const GuestBatchKey &p_key, bool p_default);
	// The same reads over a candidate's entries found beforehand (guest_row_facts.hpp).
	static bool has(const GuestRowFacts &p_facts, const GuestBatchKey &p_key);
	static const godot::Variant &value(const GuestRowFacts &p_facts, const GuestBatchKey &p_key, const godot::Variant &p_default);
	static int64_t integer(const GuestRowFacts &p_facts, const GuestBatchKey &p_key, int64_t p_default);
	static bool flag(const GuestRowFacts &p_facts, const GuestBatchKey &p_key, bool p_default);
};

} // namespace veltrin
