// guest_candidate_batch on the engine double: a valid guest, definition, candidate rows and
// context as the tests build them, mutated by the input (wrong types, missing keys, String
// keys, typed, read-only and shared containers, foreign, null and freed objects, edge
// numbers). The batch only reads: every call must leave every script object and argument
// exactly as it was, and answer either the lone decline or the four lists, consistent with
// each other.

#include "guest_batch_scenario.hpp"
#include "guest_fuzz_values.hpp"

#include <fuzz_check.hpp>
#include <hostile_scripts.hpp>
#include <state_snapshot.hpp>

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/utility_functions.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <set>
#include <string>

using namespace godot;
using namespace veltrin_fuzz;

namespace {

const char *const REASON_CODES[] = {
	"INVALID_NEED_MAP",
	"MISSING_INPUTS",
	"ADULT_NOT_VERIFIED",
	"CONTENT_FILTERED",
	"MISSING_PERMISSION",
	"FORBIDDEN_GUEST_TAG",
	"GUEST_TYPE_NOT_ALLOWED",
	"FACILITY_CLOSED",
	"UNREACHABLE",
	"ETA_AFTER_EXIT",
	"CANNOT_PAY",
	"WAIT_HARD_LIMIT",
	"RISK_REFUSED",
	"ILLEGALITY_REFUSED",
	"QUALITY_TOO_LOW",
};

bool is_decline(const Dictionary &p_result) {
	return p_result.size() == 1 && p_result.has(StringName("supported")) && p_result.get(StringName("supported"), true).get_type() == Variant::BOOL && !bool(p_result.get(StringName("supported"), true));
}

void check_typed_dictionary_list(const Variant &p_list, const char *p_name) {
	FUZZ_CHECK(p_list.get_type() == Variant::ARRAY, std::string(p_name) + " is not an Array");
	const Array list = p_list;
	FUZZ_CHECK(list.get_typed_builtin() == Variant::DICTIONARY, std::string(p_name) + " is not typed Dictionary");
}

int64_t integer_of(const Dictionary &p_row, const char *p_key) {
	const Variant value = p_row.get(StringName(p_key), Variant());
	FUZZ_CHECK(value.get_type() == Variant::INT, std::string("ranked entry lacks an int ") + p_key + ": " + text(p_row));
	return value;
}

// -1, 0, 1: whether a ranks before b by the rank order, which is strict except for equal ids.
int rank_compare(const Dictionary &p_a, const Dictionary &p_b) {
	const char *const DESCENDING[] = { "need_priority", "utility", "urgency" };
	for (const char *key : DESCENDING) {
		const int64_t a = integer_of(p_a, key);
		const int64_t b = integer_of(p_b, key);
		if (a != b) {
			return a > b ? -1 : 1;
		}
	}
	const int64_t travel_a = integer_of(p_a, "travel_minutes");
	const int64_t travel_b = integer_of(p_b, "travel_minutes");
	if (travel_a != travel_b) {
		return travel_a < travel_b ? -1 : 1;
	}
	const String id_a = p_a.get(StringName("facility_id"), Variant());
	const String id_b = p_b.get(StringName("facility_id"), Variant());
	if (id_a == id_b) {
		return 0;
	}
	return id_a < id_b ? -1 : 1;
}

// The five entries in order, the four lists typed Dictionary.
void check_answer_shape(const Dictionary &p_result) {
	const Array keys = p_result.keys();
	FUZZ_CHECK(keys.size() == 5, "an answer has five entries: " + text(p_result));
	const char *const ORDER[] = { "supported", "ordered", "accepted", "rejected", "ranked" };
	for (int i = 0; i < 5; i++) {
		FUZZ_CHECK(keys[i].get_type() == Variant::STRING_NAME && String(keys[i]) == String(ORDER[i]), "answer keys out of order: " + text(keys));
	}
	FUZZ_CHECK(p_result.get(StringName("supported"), Variant()).get_type() == Variant::BOOL && bool(p_result.get(StringName("supported"), false)), "supported is not true");
	for (int i = 1; i < 5; i++) {
		check_typed_dictionary_list(p_result.get(StringName(ORDER[i]), Variant()), ORDER[i]);
	}
}

void check_answer(const GuestBatchScenario &p_scenario, const Dictionary &p_result) {
	check_answer_shape(p_result);
	const Array ordered = p_result.get(StringName("ordered"), Variant());
	const Array accepted = p_result.get(StringName("accepted"), Variant());
	const Array rejected = p_result.get(StringName("rejected"), Variant());
	const Array ranked = p_result.get(StringName("ranked"), Variant());

	FUZZ_CHECK(ordered.size() == p_scenario.expected_row_count(), "ordered holds " + std::to_string(ordered.size()) + " rows, expected " + std::to_string(p_scenario.expected_row_count()));
	FUZZ_CHECK(accepted.size() + rejected.size() == ordered.size(), "every row is accepted or rejected once");
	FUZZ_CHECK(ranked.size() <= accepted.size(), "ranked holds more rows than accepted");

	// Facility order, and accepted/rejected split in that order.
	int64_t next_accepted = 0;
	int64_t next_rejected = 0;
	String previous;
	std::set<std::string> reasons(std::begin(REASON_CODES), std::end(REASON_CODES));
	for (int64_t i = 0; i < ordered.size(); i++) {
		FUZZ_CHECK(ordered[i].get_type() == Variant::DICTIONARY, "ordered entry is not a Dictionary");
		const Dictionary row = ordered[i];
		const Variant id = row.get(StringName("facility_id"), Variant());
		FUZZ_CHECK(id.get_type() == Variant::STRING_NAME && !String(id).is_empty(), "ordered row without a StringName id: " + text(row));
		const String id_text = id;
		FUZZ_CHECK(i == 0 || !(id_text < previous), "ordered is not in facility order");
		previous = id_text;
		if (next_accepted < accepted.size() && UtilityFunctions::is_same(accepted[next_accepted], row)) {
			next_accepted++;
			continue;
		}
		FUZZ_CHECK(next_rejected < rejected.size(), "ordered row neither accepted nor rejected: " + text(row));
		const Dictionary entry = rejected[next_rejected++];
		FUZZ_CHECK(entry.size() == 2, "a rejected entry has two entries");
		const Variant entry_id = entry.get(StringName("facility_id"), Variant());
		const Variant reason = entry.get(StringName("reason"), Variant());
		FUZZ_CHECK(entry_id.get_type() == Variant::STRING && String(entry_id) == id_text, "rejected entry id differs from its row");
		FUZZ_CHECK(reason.get_type() == Variant::STRING && reasons.count(text(reason)) == 1, "unknown reason " + text(reason));
	}
	FUZZ_CHECK(next_accepted == accepted.size() && next_rejected == rejected.size(), "accepted or rejected out of facility order");

	for (int64_t i = 0; i < ranked.size(); i++) {
		const Dictionary entry = ranked[i];
		const Variant terms = entry.get(StringName("utility_terms"), Variant());
		FUZZ_CHECK(terms.get_type() == Variant::DICTIONARY && Dictionary(terms).size() == 11, "ranked entry without its eleven utility terms");
		FUZZ_CHECK(integer_of(entry, "travel_minutes") >= 0, "negative ranked travel");
		const Variant ok = entry.get(StringName("ok"), true);
		FUZZ_CHECK(ok.get_type() != Variant::BOOL || bool(ok), "a row with ok false was ranked");
		if (i > 0) {
			FUZZ_CHECK(rank_compare(ranked[i - 1], entry) <= 0, "ranked out of rank order");
		}
		for (int64_t j = 0; j < accepted.size(); j++) {
			FUZZ_CHECK(!UtilityFunctions::is_same(accepted[j], entry), "a ranked entry is an accepted one, not its evaluated copy");
		}
	}
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
	return guest_fuzzer_initialize(guest_batch_seeds);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *p_data, size_t p_size) {
	run_quick_then_exact(p_data, p_size, [](const SplitInput &p_input, RunMode p_mode, bool &r_rerun) {
		GuestBytes in(p_input.data, p_input.size);
		GuestObjectKeeper keeper;
		// A plan of misbehaving scripts plays on plain objects, which scripts can free.
		GuestBatchScenario scenario(in, keeper, !p_input.plan.empty());
		HostileWorld world;
		world.roots = [&] { return scenario.roots(); };
		world.reentries = { [&] {
			GuestPlugin &plugin = guest_plugin();
			if (!holds_freed_object(scenario.arguments())) {
				plugin.host.call(plugin.core, "guest_candidate_batch", scenario.arguments());
			}
		} };

		CallAudit audit(p_mode, p_input.plan, world);
		const Dictionary answer = call_guest_method("guest_candidate_batch", scenario.arguments(), scenario.freed_arguments());
		audit.finish();
		if (audit.needs_exact()) {
			r_rerun = true;
			return;
		}
		if (audit.acts_fired()) {
			// The scripts changed the state themselves: the batch wrote nothing, and its
			// answer (if any) has the answer's shape.
			FUZZ_CHECK(!audit.plugin_wrote_between_scripts(), "the batch wrote while the scripts misbehaved:\n" + audit.plugin_write_report());
			if (!is_decline(answer)) {
				check_answer_shape(answer);
			}
			return;
		}
		if (!audit.untouched()) {
			const StateSnapshot after = scenario.snapshot();
			FUZZ_CHECK(audit.before() == after, "the batch changed a script object or an argument:\n" + snapshot_diff(audit.before(), after));
		}
		if (!is_decline(answer)) {
			check_answer(scenario, answer);
		}
	});
	return 0;
}
