#pragma once

// Loads the plug-in through the engine double's host once per suite and calls
// guest_candidate_batch by name, as the guest service script does, against a guest
// service fixture holding one guest ("g1", of type "tourist") and its definition.

#include "core_test.hpp"
#include "guest_service_fixture.hpp"

#include <engine_double/host.hpp>

#include <gtest/gtest.h>

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <memory>
#include <string>
#include <vector>

namespace veltrin_test {

class GuestBatchTest : public CoreTest {
protected:
	std::unique_ptr<GuestServiceFixture> service;

	void SetUp() override;
	void TearDown() override;

	// Replaces the guest g1 and its definition.
	void set_guest(const GuestValues &p_guest, const GuestDefinitionValues &p_definition = GuestDefinitionValues());

	godot::Dictionary batch(const godot::Array &p_facilities, const godot::Dictionary &p_context = godot::Dictionary(), const godot::StringName &p_guest_id = "g1") const;
	godot::Dictionary batch_for(const godot::Variant &p_owner, const godot::StringName &p_guest_id, const godot::Array &p_facilities, const godot::Dictionary &p_context) const;

	// The reason code of the single candidate p_candidate, or "" when it is accepted.
	std::string reason_of(const godot::Dictionary &p_candidate, const godot::Dictionary &p_context = godot::Dictionary()) const;
};

// A candidate keyed by StringName: facility_id = p_id plus the given entries.
godot::Dictionary candidate(const char *p_id, const std::vector<std::pair<const char *, godot::Variant>> &p_entries = {});
godot::Dictionary dictionary_of(const std::vector<std::pair<const char *, godot::Variant>> &p_entries);
// The facility ids of a result list, as text, in order.
std::vector<std::string> ids_of(const godot::Variant &p_list);
bool is_declined(const godot::Dictionary &p_result);

} // namespace veltrin_test
