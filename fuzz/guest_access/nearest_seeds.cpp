#include "guest_access_checks.hpp"

namespace veltrin_fuzz {

namespace {

constexpr uint8_t NO = 255;
constexpr uint8_t YES = 0;

// Byte layout of the nearest access fuzzer's decoder, part by part.
struct NearestSeed {
	// Width, floors, number of holes (then each hole's bytes).
	std::vector<uint8_t> world = { 0, 0, 0 };
	// Tree mode, compact, alteration, wrapped, crossing, reconstruct mode, find path,
	// diagnosis, failure, copy, ticks, tick junk.
	std::vector<uint8_t> plan = { 0, NO, 0, NO, NO, 0, NO, NO, NO, NO, NO, NO };
	std::vector<uint8_t> start = { 0 };
	// Shape, count (0 reads as two goals), one choice per goal.
	std::vector<uint8_t> goals = { 0, 0, 0, 0 };
	// Extra targets, batch start, ready, batch mutations, batch replaced, cached goal,
	// member mutations.
	std::vector<uint8_t> batch = { 0, 0, NO, 0, NO, NO, 0 };
	// Path, fallback, layers, access, ticks.
	std::vector<uint8_t> arguments = { 0, NO, 0, 0, 0 };

	std::vector<uint8_t> bytes() const {
		std::vector<uint8_t> out;
		for (const std::vector<uint8_t> *part : { &world, &plan, &start, &goals, &batch, &arguments }) {
			out.insert(out.end(), part->begin(), part->end());
		}
		return out;
	}
};

NearestSeed altered_tree(uint8_t p_alteration) {
	NearestSeed seed;
	seed.plan[0] = 11;
	seed.plan[2] = p_alteration;
	return seed;
}

} // namespace

std::vector<std::pair<std::string, std::vector<uint8_t>>> nearest_guest_access_seeds() {
	std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds;
	const auto add = [&seeds](const char *p_name, const NearestSeed &p_seed) { seeds.emplace_back(p_name, p_seed.bytes()); };

	add("baseline", NearestSeed());
	NearestSeed ready;
	ready.batch[2] = YES;
	add("batch_tree_ready", ready);
	NearestSeed loose;
	loose.plan[1] = YES;
	add("tree_not_compact", loose);
	add("tree_unusable", altered_tree(0));
	add("tree_cost_missing", altered_tree(2));
	add("tree_index_negative", altered_tree(3));
	add("tree_cost_values_short", altered_tree(4));
	add("tree_nothing_settled", altered_tree(7));
	add("tree_costs_tie", altered_tree(8));
	NearestSeed junk_tree;
	junk_tree.plan = { 15, NO, 0, 0, NO, NO, 0, NO, NO, NO, NO, NO, NO };
	add("tree_nil", junk_tree);
	NearestSeed wrapped;
	wrapped.plan = { 0, NO, 0, YES, YES, NO, 0, NO, NO, NO, NO, NO, NO };
	add("tree_arithmetic_wrapped", wrapped);
	NearestSeed no_crossing;
	no_crossing.plan = { 0, NO, 0, NO, YES, YES, 0, NO, NO, NO, NO, NO, NO };
	add("layer_crossing_denied", no_crossing);
	NearestSeed untyped;
	untyped.plan[5] = 12;
	add("route_untyped", untyped);
	NearestSeed backwards;
	backwards.plan = { 0, NO, 0, NO, NO, 0, NO, NO, NO, NO, YES, 9, 2, NO };
	add("ticks_backwards", backwards);

	NearestSeed cached;
	cached.batch[5] = YES;
	add("goal_already_cached", cached);
	NearestSeed vector3;
	vector3.goals = { 0, 1, 0, 0, 14 };
	add("goal_vector3", vector3);
	NearestSeed at_start;
	at_start.goals = { 0, 255, 3 };
	add("goal_is_start", at_start);
	NearestSeed blocked;
	blocked.world = { 0, 0, 1, 3, 0, 0, NO, YES };
	add("goal_blocked", blocked);
	NearestSeed no_start;
	no_start.world = { 0, 0, 1, 1, 0, 0, YES };
	add("start_impassable", no_start);
	NearestSeed elsewhere;
	elsewhere.batch = { 0, 15, 2, 0, 0, NO, 0, NO, NO, 0 };
	add("batch_start_differs", elsewhere);
	NearestSeed closed;
	closed.batch = { 0, 0, NO, 0, YES, YES, NO, 0 };
	add("batch_empty", closed);
	NearestSeed saturated;
	saturated.batch = { 0, 0, NO, 0, NO, NO, 1, 4, 5, 16 };
	add("cache_misses_at_limit", saturated);
	NearestSeed frozen;
	frozen.batch = { 0, 0, NO, 0, NO, NO, 1, 2, 1 };
	add("path_cache_read_only", frozen);
	NearestSeed shared;
	shared.batch = { 0, 0, NO, 0, NO, NO, 1, 2, 2, 0 };
	add("path_cache_is_passable_set", shared);

	const std::pair<const char *, std::vector<uint8_t>> arguments[] = {
		{ "path_null", { 28, NO, 0, 0, 0 } },
		{ "path_freed", { 29, NO, 0, 0, 0 } },
		{ "path_foreign_script", { 31, NO, 0, 0, 0 } },
		{ "layers_front_only", { 0, NO, 12, 0, 0 } },
		{ "layers_empty", { 0, NO, 13, 0, 0 } },
		{ "layers_untyped", { 0, NO, 14, 0, 0 } },
		{ "access_names", { 0, NO, 0, 13, 0 } },
		{ "ticks_invalid", { 0, NO, 0, 0, 14 } },
	};
	for (const auto &argument : arguments) {
		NearestSeed seed;
		seed.arguments = argument.second;
		add(argument.first, seed);
	}
	return seeds;
}

} // namespace veltrin_fuzz
