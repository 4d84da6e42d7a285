#pragma once

// Checks shared by the guest access fuzzers: the shape of a nearest access answer, the
// selection it made from the query tree, and the writes a query may make to the path
// service, which are checked and then undone so that a snapshot comparison proves nothing
// else changed.

#include "guest_path_world.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace veltrin_fuzz {

// The path service's members a query may write even when it then declines: the batch it
// builds its tree into, the cache-miss count and the last-query fields.
const std::vector<godot::StringName> &path_query_members();

godot::TypedArray<int64_t> both_layers_typed();

// The path cache key of a query, as the service writes it.
godot::String cache_key(const godot::Vector3i &p_start, const godot::Vector3i &p_goal, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, int64_t p_revision);

// Whether two values are the same: one container or object, or equal bits.
bool same_value(const godot::Variant &p_a, const godot::Variant &p_b);

enum class AccessAnswer {
	DECLINED,
	REACHABLE,
	UNREACHABLE,
};

// Fails unless p_answer is the decline or an answer of the right keys, order and types,
// consistent with the goals and the fallback.
AccessAnswer check_access_answer(const godot::Dictionary &p_answer, const godot::Array &p_goals, const godot::Vector3i &p_fallback);

// A query tree read the way a query reads it: any value, converted.
class QueryTreeView {
public:
	QueryTreeView() = default;
	explicit QueryTreeView(const godot::Variant &p_tree);
	bool usable() const;
	// The goal's cost; false when the tree holds none a query may use.
	bool cost_of(const godot::Vector3i &p_goal, int64_t &r_cost) const;
	bool settled(const godot::Vector3i &p_goal) const;

private:
	godot::Dictionary tree;
};

// The cheapest goal of the batch's targets settled in the tree, the first of equal cost;
// fails when p_answer selected another one, or answered though a cost was missing.
void check_selection(const QueryTreeView &p_tree, const godot::Dictionary &p_targets, const godot::Array &p_goals, const godot::Dictionary &p_answer);

// The path service state a query may write, captured before the call.
class ServiceWrites {
public:
	explicit ServiceWrites(GuestPathWorld &r_world);

	bool ready_before() const { return ready_was_true; }
	godot::Dictionary targets_before() const;
	QueryTreeView batch_tree() const;
	// Fails on a write a query may not make; then restores every write it may make.
	void check_and_undo(bool p_answered, const godot::Vector3i &p_start, const godot::Array &p_goals, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, const godot::Dictionary &p_answer);

private:
	struct Slot {
		bool present = false;
		godot::Variant value;
	};

	GuestPathWorld &world;
	godot::Dictionary batch;
	bool batch_shared = false;
	bool ready_was_true = false;
	Slot batch_slots[3];
	godot::Variant misses;
	godot::Variant wrapped_member;
	godot::Variant last_fields[3];
	godot::Dictionary cache;
	bool cache_shared = false;
	std::vector<std::pair<godot::Variant, godot::Variant>> cache_entries;
	int64_t revision = 0;
};

// Seeds: the nearest access tests' scenarios as inputs of the fuzzer's decoder.
std::vector<std::pair<std::string, std::vector<uint8_t>>> nearest_guest_access_seeds();
// Seeds: the projection tests' scenarios as inputs of the projection fuzzer's decoder.
std::vector<std::pair<std::string, std::vector<uint8_t>>> project_guest_candidates_seeds();

} // namespace veltrin_fuzz
