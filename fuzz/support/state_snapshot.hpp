#pragma once

// A deep, exact picture of the state a call may touch: each root value, walked through
// containers and referenced objects (script objects by their members, by instance id,
// cycle-safe; a Callable's object too, since the callee can reach it). Every value is
// encoded by its bits (NaN-safe), with container typing, the read-only flag and container
// identity (a container met again is written as a reference to its first place), so equal
// snapshots prove that nothing was changed, replaced or un-shared.
//
//     const StateSnapshot before = take_snapshot({ { "budget", budget } });
//     ... call ...
//     FUZZ_CHECK(before == take_snapshot({ { "budget", budget } }), snapshot_diff(before, after));
//
// The picture is a compact byte record per value (taken on every call, so it is cheap);
// snapshot_lines() renders it as text for failure messages.

#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <string>
#include <utility>
#include <vector>

namespace veltrin_fuzz {

struct StateSnapshot {
	// The records, one per value in walk order: depth, kind, payload.
	std::string bytes;
	// Left empty by take_snapshot (kept for older callers): use snapshot_lines().
	std::vector<std::string> lines;
	// The containers left out because a skipped member held them (kept alive, so that their
	// identity stays theirs); not compared.
	std::vector<godot::Variant> skipped_containers;

	bool operator==(const StateSnapshot &p_other) const { return bytes == p_other.bytes; }
	bool operator!=(const StateSnapshot &p_other) const { return bytes != p_other.bytes; }
};

using SnapshotRoot = std::pair<std::string, godot::Variant>;

// Reads members with the call log switched off, so taking a snapshot leaves no trace.
// Without addresses, containers are told apart only by where they first appear: for
// comparing two answers built separately.
// Members named in p_skipped_members read as nil, whatever they hold, and so does every
// container they hold wherever else it appears. A container p_earlier left out that way is
// left out here too: once a skipped member lets go of a container it shared with another
// member, that member's container still reads as before.
StateSnapshot take_snapshot(const std::vector<SnapshotRoot> &p_roots, bool p_with_addresses = true, const std::vector<godot::StringName> *p_skipped_members = nullptr, const StateSnapshot *p_earlier = nullptr);

// One text line per value, indented by depth: "<label> = <encoding>".
std::vector<std::string> snapshot_lines(const StateSnapshot &p_snapshot);

// The first differing lines of two snapshots with some context, for a failure message.
std::string snapshot_diff(const StateSnapshot &p_before, const StateSnapshot &p_after, size_t p_max_lines = 24);

} // namespace veltrin_fuzz
