#pragma once

// Shape checks for the route methods' answers and the memo-aware state check: the only
// write a route call may make is new entries in the path service's memo.

#include "hostile_scripts.hpp"
#include "route_fuzz_world.hpp"

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace veltrin_fuzz {

// Aborts unless p_answer is a search answer the method may give for this graph and start;
// p_numbered is the size of p_cells when the call began.
void check_search_answer(const godot::Variant &p_answer, const godot::Array &p_cells, int64_t p_numbered, int64_t p_start);

// True when p_row is [Vector3i, int].
bool is_edge_row(const godot::Variant &p_row);

// The memos before a route call, with their sizes at that time: the path service's
// (written natively or by its script) and the impostor's (written by its own script when it
// is the provider). The state itself is the audit's before().
struct RouteStateBefore {
	godot::Variant memos[2];
	int64_t memo_sizes[2] = {};
};

RouteStateBefore capture_route_state(const RouteWorld &p_world);

// Aborts unless the state equals r_audit.before() apart from memo entries appended by the
// call, each an Array of edge rows. Returns the keys appended to the path service's memo
// (the state is left as the call left it). Nothing to compare when the call wrote nothing.
godot::Array check_only_memo_grew(const RouteWorld &p_world, const std::vector<SnapshotRoot> &p_arguments, const RouteStateBefore &p_before, CallAudit &r_audit, const char *p_context);

// An answer's compact snapshot without container addresses, to compare answers built
// separately, and the same as text for messages.
std::string answer_key(const godot::Variant &p_answer);
std::string answer_text(const godot::Variant &p_answer);

} // namespace veltrin_fuzz
