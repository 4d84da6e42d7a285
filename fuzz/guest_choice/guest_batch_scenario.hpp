#pragma once

// One guest_candidate_batch call decoded from fuzz input: the guest service fixture of the
// tests with guest g1 of type tourist and its definition, candidate rows like the ones the
// projection builds, and a context; each part mutated by the input. The empty input is the
// valid baseline: three accepted candidates and an empty context.

#include "guest_fuzz_values.hpp"

#include <guest_service_fixture.hpp>
#include <state_snapshot.hpp>

#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace veltrin_fuzz {

class GuestBatchScenario {
public:
	// p_plain_objects: the guest and its definition are plain Objects, which a misbehaving
	// script may free.
	GuestBatchScenario(GuestBytes &r_in, GuestObjectKeeper &r_keeper, bool p_plain_objects = false);

	// owner, guest_id, facilities, context.
	std::vector<godot::Variant> arguments() const;
	// Arguments that hold a freed object (the host reports each while converting it).
	int freed_arguments() const { return freed_argument_count; }
	// The rows an evaluated batch must list in "ordered": the Dictionary candidates with a
	// usable id.
	int64_t expected_row_count() const;
	// Every script object of the scenario and both container arguments, deep.
	std::vector<SnapshotRoot> roots() const;
	StateSnapshot snapshot() const { return take_snapshot(roots()); }

private:
	std::unique_ptr<veltrin_test::GuestServiceFixture> service;
	godot::Variant owner;
	godot::Variant guest_id;
	godot::Variant facilities;
	godot::Variant context;
	// Variants, so reference-counted objects live as long as the scenario.
	std::vector<godot::Variant> objects;
	int freed_argument_count = 0;

	void decode_guest(GuestBytes &r_in, GuestObjectKeeper &r_keeper);
	void decode_facilities(GuestBytes &r_in, GuestObjectKeeper &r_keeper);
	void decode_context(GuestBytes &r_in, GuestObjectKeeper &r_keeper);
	void decode_arguments(GuestBytes &r_in, GuestObjectKeeper &r_keeper);
};

// Every name the batch reads, for values and for the libFuzzer dictionary.
const std::vector<const char *> &guest_batch_fuzz_names();

// The seed corpus: the tests' scenarios as inputs of this decoder.
std::vector<std::pair<std::string, std::vector<uint8_t>>> guest_batch_seeds();

} // namespace veltrin_fuzz
