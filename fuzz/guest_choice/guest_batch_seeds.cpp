#include "guest_batch_scenario.hpp"

#include <initializer_list>

namespace veltrin_fuzz {

namespace {

constexpr uint8_t NO = 255;
constexpr uint8_t YES = 0;

// Byte layout of GuestBatchScenario's decoder, part by part.
struct BatchSeed {
	std::vector<uint8_t> service = { 0 };
	std::vector<uint8_t> guest_mutations;
	uint8_t guest_answer = 0;
	std::vector<uint8_t> facilities_shape = { 0 };
	std::vector<std::vector<uint8_t>> candidates = { {}, {}, {} };
	std::vector<std::vector<uint8_t>> context;
	std::vector<uint8_t> arguments = { 0, 0, NO, NO };

	std::vector<uint8_t> bytes() const {
		std::vector<uint8_t> out = service;
		// The mutation count leads the mutations; none reads as 0.
		if (guest_mutations.empty()) {
			out.push_back(0);
		}
		out.insert(out.end(), guest_mutations.begin(), guest_mutations.end());
		out.push_back(guest_answer);
		out.insert(out.end(), facilities_shape.begin(), facilities_shape.end());
		out.push_back(uint8_t((candidates.size() + 9 - 3) % 9));
		for (const std::vector<uint8_t> &candidate : candidates) {
			if (candidate.empty()) {
				// A projection row, unmutated, untyped, writable.
				out.insert(out.end(), { 0, 0, NO, NO });
			} else {
				out.insert(out.end(), candidate.begin(), candidate.end());
			}
		}
		out.push_back(uint8_t(context.size()));
		for (const std::vector<uint8_t> &entry : context) {
			out.insert(out.end(), entry.begin(), entry.end());
		}
		out.push_back(NO);
		out.insert(out.end(), arguments.begin(), arguments.end());
		return out;
	}
};

// A candidate of profile p_profile with the given mutations (each: kind, key, action and
// the value's bytes), untyped and writable.
std::vector<uint8_t> candidate(uint8_t p_profile, std::initializer_list<std::vector<uint8_t>> p_mutations) {
	std::vector<uint8_t> out = { p_profile, uint8_t(p_mutations.size()) };
	for (const std::vector<uint8_t> &mutation : p_mutations) {
		out.insert(out.end(), mutation.begin(), mutation.end());
	}
	out.insert(out.end(), { NO, NO });
	return out;
}

// Integer key p_key (index in the integer list) set to the edge value of selector p_edge.
std::vector<uint8_t> set_integer(uint8_t p_key, uint8_t p_edge) {
	return { 0, p_key, 0, NO, p_edge };
}

std::vector<uint8_t> set_switch(uint8_t p_key, bool p_value) {
	return { 1, p_key, 0, NO, uint8_t(p_value ? 0 : 1) };
}

} // namespace

std::vector<std::pair<std::string, std::vector<uint8_t>>> guest_batch_seeds() {
	std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds;
	const auto add = [&seeds](const char *p_name, const BatchSeed &p_seed) { seeds.emplace_back(p_name, p_seed.bytes()); };

	add("baseline", BatchSeed());
	BatchSeed empty;
	empty.candidates.clear();
	add("empty_facilities", empty);

	BatchSeed wallet;
	wallet.guest_mutations = { 2, 1, NO, 0, 8, NO, 0 };
	add("poor_guest", wallet);
	BatchSeed missing_need;
	missing_need.guest_mutations = { 1, 5, NO, 9, 9, 9, YES, 3, NO };
	add("needs_without_medical", missing_need);
	BatchSeed addicted;
	addicted.guest_mutations = { 2, 6, NO, 1, NO, 0, NO, 9, 12, NO, 0, 1, NO, 7 };
	add("addicted_spendthrift", addicted);
	BatchSeed nil_guest;
	nil_guest.guest_answer = 15;
	nil_guest.candidates = { {} };
	add("guest_answer_nil", nil_guest);
	BatchSeed freed_guest = nil_guest;
	freed_guest.guest_answer = 12;
	add("guest_answer_freed", freed_guest);
	BatchSeed not_adult;
	not_adult.guest_mutations = { 1, 11, NO, 1 };
	not_adult.candidates = { candidate(0, { set_switch(1, true) }), candidate(3, { set_switch(2, true) }) };
	not_adult.context = { { 2, NO, 1, NO, NO } };
	add("adult_gate", not_adult);

	BatchSeed rules;
	rules.candidates = {
		candidate(0, { set_switch(0, false) }),
		candidate(0, { set_switch(3, false), set_switch(4, true) }),
		candidate(0, { set_switch(6, false) }),
		candidate(1, { set_integer(0, 16) }),
		candidate(3, { set_integer(10, 9), set_integer(1, 11) }),
		candidate(0, { set_integer(4, 13), set_integer(6, 10) }),
		candidate(0, { set_switch(12, false) }),
	};
	add("rejection_rules", rules);

	BatchSeed types;
	types.candidates = {
		candidate(0, { { 0, 5, 0, YES, 4, 0 } }),
		candidate(1, { { 0, 0, 6, NO, 5 } }),
		candidate(2, {}),
	};
	add("float_risk_and_string_key", types);
	BatchSeed need_maps;
	need_maps.candidates = {
		candidate(0, { { 4, 0, 0, NO, NO, 0, 2, NO, NO, 0, NO, 9, NO, NO, 3, YES, 4, 0 } }),
		candidate(0, { { 4, 1, 0, NO, YES, 4 } }),
		candidate(0, { { 4, 0, 0, NO, YES, 4 } }),
	};
	add("need_maps", need_maps);
	BatchSeed ids;
	ids.candidates = { candidate(1, { { 2, 0, 0, NO, NO, 2 } }), candidate(1, { { 2, 0, 0, NO, NO, 3 } }), candidate(1, { { 2, 0, 0, NO, NO, 4 } }) };
	add("ids_a9_a10_empty", ids);
	BatchSeed shared;
	shared.candidates = { {}, { 15, 0 }, { 14, 0 } };
	shared.facilities_shape = { 2 };
	add("shared_and_foreign_elements", shared);

	BatchSeed context;
	context.context = { { 0, NO, 9, NO, NO }, { 1, NO, 0, NO, YES }, { 4, NO, 0, 0, NO, NO } };
	add("context_keys", context);
	BatchSeed bad_context;
	bad_context.context = { { 0, YES, 4, 0, NO, NO } };
	add("context_float_minute", bad_context);
	BatchSeed unknown_context;
	unknown_context.context = { { 5, NO, 0, NO, NO } };
	add("context_unknown_key", unknown_context);

	BatchSeed null_owner;
	null_owner.arguments = { 20, 0, NO, NO };
	add("owner_null", null_owner);
	BatchSeed freed_owner;
	freed_owner.arguments = { 21, 0, NO, NO };
	add("owner_freed", freed_owner);
	BatchSeed guest_owner;
	guest_owner.arguments = { 22, 13, NO, NO };
	add("owner_guest_and_unknown_id", guest_owner);
	BatchSeed wrong_path;
	wrong_path.service = { 2 };
	add("service_wrong_path", wrong_path);
	return seeds;
}

} // namespace veltrin_fuzz
