#pragma once

#include "guest_choice/guest_batch_names.hpp"

#include <godot_cpp/variant/array.hpp>
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
	// Read, but any value passes (the need maps are judged row by row).
	GUEST_KEY_ANY,
};

// The kind of every candidate key the batch reads, found by name. Built once per batch so
// that a candidate is checked with one pass over its own keys instead of a lookup for each
// of the checked names, most of which a candidate does not have.
struct GuestCandidateKeyKinds {
	static constexpr size_t SLOT_COUNT = 128;

	struct Slot {
		godot::StringName name;
		const GuestBatchKey *key = nullptr;
		GuestCandidateKeyKind kind = GUEST_KEY_UNCHECKED;
	};
	Slot slots[SLOT_COUNT];
	// Defaults of the reads over recorded facts, built once per batch like the names.
	godot::Variant nil;
	godot::Variant zero = int64_t(0);

	explicit GuestCandidateKeyKinds(const GuestBatchNames &p_names);
	// The slot of one of the table's own keys, found without asking the engine.
	size_t slot_of(const GuestBatchKey &p_key) const;
};

GuestCandidateKeyKind guest_candidate_key_kind(const GuestCandidateKeyKinds &p_kinds, const godot::StringName &p_key);

// Whether every value of the candidate that the batch reads has a type the batch handles:
// numbers are ints, switches are bools or ints, ids and the category are strings, name
// lists hold only strings. The need maps are judged later, row by row.
bool guest_candidate_supported(const GuestCandidateKeyKinds &p_kinds, const godot::Dictionary &p_candidate);

// Where each key of the table sits among one candidate's values, recorded by the same pass
// over its entries that checks it: the batch then reads every value by index instead of
// looking each key up again (each lookup is several calls into the engine).
struct GuestRowFacts {
	const GuestCandidateKeyKinds *kinds = nullptr;
	godot::Array values;
	int32_t index[GuestCandidateKeyKinds::SLOT_COUNT] = {};

	// The value under p_key (one of the table's keys), or nullptr when it is absent.
	const godot::Variant *find(const GuestBatchKey &p_key) const;
};

// guest_candidate_supported, also recording the candidate's facts in r_facts.
bool guest_candidate_supported(const GuestCandidateKeyKinds &p_kinds, const godot::Dictionary &p_candidate, GuestRowFacts &r_facts);
// The facts of a candidate that is known to be supported (or is read as it is).
GuestRowFacts guest_row_facts(const GuestCandidateKeyKinds &p_kinds, const godot::Dictionary &p_candidate);

} // namespace veltrin
