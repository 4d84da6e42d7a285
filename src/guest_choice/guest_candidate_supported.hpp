#pragma once

#include "guest_choice/guest_batch_names.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstddef>
#include <cstdint>

namespace veltrin {

enum GuestCandidateKeyKind : uint8_t {
	GUEST_KEY_UNCHECKED,
	// Must hold an int.
	GUEST_KEY_INTEGER,
	// Must hold a bool or an int.
	GUEST_KEY_SWITCH,
	// Must hold a String or a StringName.
	GUEST_KEY_TEXT,
	// Read as a name list: an Array must hold only String or StringName elements.
	GUEST_KEY_NAME_LIST,
};

// The kind of every candidate key the batch reads, found by name. Built once per batch so
// that a candidate is checked with one pass over its own keys instead of a lookup for each
// of the checked names, most of which a candidate does not have.
struct GuestCandidateKeyKinds {
	static constexpr size_t SLOT_COUNT = 128;

	struct Slot {
		godot::StringName name;
		GuestCandidateKeyKind kind = GUEST_KEY_UNCHECKED;
	};
	Slot slots[SLOT_COUNT];

	explicit GuestCandidateKeyKinds(const GuestBatchNames &p_names);
};

GuestCandidateKeyKind guest_candidate_key_kind(const GuestCandidateKeyKinds &p_kinds, const godot::StringName &p_key);

// Whether every value of the candidate that the batch reads has a type the batch handles:
// numbers are ints, switches are bools or ints, ids and the category are strings, name
// lists hold only strings. The need maps are judged later, row by row.
bool guest_candidate_supported(const GuestCandidateKeyKinds &p_kinds, const godot::Dictionary &p_candidate);

} // namespace veltrin
