#pragma once

// A path service for the guest access fuzzers: a script object at the game's path service
// resource path over a small two-layer grid, whose scripted methods answer as the game's
// script does (a query batch over a goal set, a query tree from a Dijkstra search, routes
// read back from the tree) unless the input tells a method to answer something else. Every
// member is installed from decoded values, so the input also decides the service's state:
// passable cells, traffic, path cache, batch and tree, revision and counters.

#include "guest_fuzz_values.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>
#include <vector>

namespace veltrin_fuzz {

// How a scripted method answers: as the game's script does, or with a decoded value.
enum class AnswerMode : uint8_t {
	SCRIPT,
	ALTERED,
	JUNK,
};

// What the scripted methods answer and what they saw, for one input.
struct PathPlan {
	AnswerMode tree = AnswerMode::SCRIPT;
	bool tree_compact = true;
	// Which corruption an ALTERED tree carries.
	uint32_t tree_alteration = 0;
	bool tree_usable = true;
	godot::Variant tree_wrapped = false;
	godot::Variant tree_junk;
	godot::Variant crossing = true;
	AnswerMode reconstruct = AnswerMode::SCRIPT;
	godot::Variant reconstruct_junk;
	AnswerMode find_path = AnswerMode::SCRIPT;
	godot::Variant find_path_junk;
	godot::Variant diagnosis = godot::StringName("NO_WALKABLE_ROUTE");
	AnswerMode failure = AnswerMode::SCRIPT;
	godot::Variant failure_junk;
	godot::Variant copy_answer;
	// Tick source: a start, a step per call, or a junk answer.
	int64_t tick = 1000;
	int64_t tick_step = 3;
	godot::Variant tick_junk;

	// What the projection's route questions answer when not NIL: the route cost, the
	// connector record.
	godot::Variant route_cost;
	godot::Variant connector_record;

	// What happened during the call.
	int64_t batches_opened = 0;
	int64_t batches_closed = 0;
	// A batch closed before it was opened, or opened twice.
	bool batch_order_broken = false;
	int64_t tree_builds = 0;
	godot::Variant last_tree;
	int64_t resolutions_failed = 0;
	int64_t tick_calls = 0;
	int64_t emissions = 0;
	godot::Variant emitted;
};

class GuestPathWorld {
public:
	// Reads the grid's size (4 to 6 cells wide, 1 or 2 floors), its holes and blocks, then
	// what the scripted methods answer (the plan), from the input.
	// p_plain: the service is a plain Object, which a misbehaving script may free.
	GuestPathWorld(GuestBytes &r_in, GuestObjectKeeper &r_keeper, bool p_plain = false);
	~GuestPathWorld();
	GuestPathWorld(const GuestPathWorld &) = delete;
	GuestPathWorld &operator=(const GuestPathWorld &) = delete;

	// Null once a script freed it.
	godot::Object *object() const { return godot::ObjectDB::get_instance(service_id); }
	godot::Variant object_variant() const { return service; }
	PathPlan plan;
	int32_t width = 4;
	int32_t floors = 2;

	// The service's containers as installed (the input may have replaced or shared them).
	godot::Dictionary passable;
	godot::Dictionary traffic;
	godot::Dictionary path_cache;
	godot::Dictionary step_memo;

	// Replaces or reshapes members of the service (wrong types, read-only, typed, shared).
	void decode_member_mutations(GuestBytes &r_in, GuestObjectKeeper &r_keeper);
	// Opens a batch from p_start over p_goals as the service's begin method does; when
	// p_ready, builds its tree as well, as an earlier query of the batch would have.
	void open_batch(const godot::Vector3i &p_start, const godot::Array &p_goals, bool p_ready);
	// Mutates the open batch: its start, targets, ready flag, tree, wrapped flag.
	void decode_batch_mutations(GuestBytes &r_in, GuestObjectKeeper &r_keeper);

	godot::Callable ticks() const;
	// A cell of the grid (sometimes just outside it).
	godot::Vector3i cell(GuestBytes &r_in) const;

	// Reads and writes a member outside the call log.
	godot::Variant member(const godot::StringName &p_name) const;
	void set_member(const godot::StringName &p_name, const godot::Variant &p_value) const;

private:
	godot::Variant service;
	uint64_t service_id = 0;
	// Decodes the answers of the scripted methods.
	void decode_plan(GuestBytes &r_in, GuestObjectKeeper &r_keeper);
};

// The plan of the input being run; the scripted methods read it.
PathPlan *&current_path_plan();

// Every name the nearest access search reads, for values and the libFuzzer dictionary.
const std::vector<const char *> &guest_access_fuzz_names();

} // namespace veltrin_fuzz
