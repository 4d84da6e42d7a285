#include "guest_access_checks.hpp"

namespace veltrin_fuzz {

namespace {

constexpr uint8_t NO = 255;
constexpr uint8_t YES = 0;

// Byte layout of the projection fuzzer's decoder, part by part.
struct ProjectionSeed {
	// Width, floors, number of holes.
	std::vector<uint8_t> world = { 0, 0, 0 };
	std::vector<uint8_t> plan = { 0, NO, 0, NO, NO, 0, NO, NO, NO, NO, NO, NO };
	// Facility count (0 reads as three), then per facility: profile, mutations, then the
	// definition's and the instance's replacement chances.
	std::vector<uint8_t> facilities = { 0, 0, 0, NO, NO, 0, 0, NO, NO, 0, 0, NO, NO };
	// Guest cell, guest answer, runtime member, can select, checked in, access answer,
	// relief, category, sorted keys, owns connector, later instances, route cost, connector.
	std::vector<uint8_t> services = { NO, 0, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO };
	std::vector<uint8_t> members = { 0 };
	// Runtime, guest id, numbers, ticks.
	std::vector<uint8_t> call = { 0, NO, NO, NO };

	std::vector<uint8_t> bytes() const {
		std::vector<uint8_t> out;
		for (const std::vector<uint8_t> *part : { &world, &plan, &facilities, &services, &members, &call }) {
			out.insert(out.end(), part->begin(), part->end());
		}
		return out;
	}
};

// Six facilities of the standard resort, in profile order, each unmutated.
std::vector<uint8_t> standard_six() {
	std::vector<uint8_t> out = { 3 };
	for (int i = 0; i < 6; i++) {
		out.insert(out.end(), { 0, 0, NO, NO });
	}
	return out;
}

} // namespace

std::vector<std::pair<std::string, std::vector<uint8_t>>> project_guest_candidates_seeds() {
	std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds;
	const auto add = [&seeds](const char *p_name, const ProjectionSeed &p_seed) { seeds.emplace_back(p_name, p_seed.bytes()); };

	add("baseline", ProjectionSeed());
	ProjectionSeed standard;
	standard.facilities = standard_six();
	add("standard_resort", standard);
	ProjectionSeed checked_in = standard;
	checked_in.services[4] = YES;
	checked_in.services.insert(checked_in.services.begin() + 5, YES);
	add("guest_checked_in", checked_in);
	ProjectionSeed empty;
	empty.facilities = { 4 };
	add("no_facilities", empty);
	ProjectionSeed no_guest;
	no_guest.services[1] = 13;
	add("no_such_guest", no_guest);
	ProjectionSeed foreign_guest;
	foreign_guest.services = { NO, 15, 3, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO };
	add("guest_foreign", foreign_guest);
	ProjectionSeed closed;
	closed.services = { NO, 0, NO, YES, YES, NO, NO, NO, NO, NO, NO, NO, NO, NO };
	add("batch_cannot_select", closed);
	ProjectionSeed swapped;
	swapped.services = { NO, 0, YES, 1, NO, 0, NO, NO, NO, NO, NO, NO, NO, NO, NO, NO };
	add("elevators_are_the_path_service", swapped);
	ProjectionSeed unknown;
	unknown.facilities = { 0, 0, 0, YES, 0, NO, 0, 0, NO, NO, 0, 0, NO, NO };
	add("definition_unknown", unknown);
	ProjectionSeed foreign;
	foreign.facilities = { 0, 0, 0, NO, YES, 3, 0, 0, NO, NO, 0, 0, NO, NO };
	add("instance_foreign", foreign);
	ProjectionSeed untyped;
	untyped.facilities = { 0, 0, 1, 10, YES, 0, 2, NO, 0, NO, 1, NO, NO, NO, 0, 0, NO, NO, 0, 0, NO, NO };
	add("tags_untyped", untyped);
	ProjectionSeed inputs;
	inputs.facilities = { 0, 0, 1, 11, 2, YES, 3, NO, 1, NO, 0, 1, NO, NO, NO, 0, 0, NO, NO, 0, 0, NO, NO };
	add("inputs_string_keys", inputs);
	ProjectionSeed costly;
	costly.services = { NO, 0, NO, NO, NO, NO, NO, NO, NO, NO, NO, YES, YES, 9, NO };
	add("route_cost_answered", costly);
	ProjectionSeed loose_tree;
	loose_tree.plan[1] = YES;
	add("tree_not_compact", loose_tree);
	ProjectionSeed unusable;
	unusable.plan[0] = 11;
	add("tree_unusable_fallback_to_runtime", unusable);

	const std::pair<const char *, std::vector<uint8_t>> calls[] = {
		{ "runtime_null", { 29, NO, NO, NO } },
		{ "runtime_freed", { 30, NO, NO, NO } },
		{ "runtime_foreign", { 31, NO, NO, NO } },
		{ "guest_id_unknown", { 0, YES, NO, NO } },
		{ "orthogonal_cost_zero", { 0, NO, YES, 4, 0, NO } },
		{ "stair_credit_high", { 0, NO, YES, 3, 16, NO } },
		{ "ticks_invalid", { 0, NO, NO, YES } },
	};
	for (const auto &call : calls) {
		ProjectionSeed seed;
		seed.call = call.second;
		add(call.first, seed);
	}
	return seeds;
}

} // namespace veltrin_fuzz
