#pragma once

// Loads the plug-in through the engine double's host once per suite and calls
// VeltrinNumericCore's bound methods by name, as the game's scripts do, against a small
// resort.

#include "core_test.hpp"
#include "resort_fixture.hpp"

#include <engine_double/host.hpp>

#include <gtest/gtest.h>

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace veltrin_test {

class AccessTest : public CoreTest {
protected:
	std::unique_ptr<ResortFixture> resort;

	void SetUp() override;
	void TearDown() override;

	godot::Dictionary nearest(const godot::Variant &p_path, const godot::Vector3i &p_start, const godot::Array &p_goals, const godot::Vector3i &p_fallback, const godot::Array &p_layers, const godot::Array &p_access, const godot::Callable &p_ticks) const;
	// nearest against the resort's path service with its layers, no access names and ticks.
	godot::Dictionary nearest(const godot::Vector3i &p_start, const godot::Array &p_goals, const godot::Vector3i &p_fallback = godot::Vector3i(-1, -1, -1)) const;
	godot::Dictionary project(const godot::Variant &p_runtime, const godot::StringName &p_guest_id, const godot::Callable &p_ticks, int64_t p_orthogonal_cost = RESORT_ORTHOGONAL_COST) const;
	godot::Dictionary project(const godot::StringName &p_guest_id = "g1") const;
	// Engine errors recorded since the test began; the test expects none unless it clears them.
	std::vector<std::string> take_errors() const;
};

// Kind and name of each call log entry of an object: "get _query_batch", "call f", ...
std::vector<std::string> log_names(const godot::Object *p_object);
// Whether the object's log has a write, call or emission.
bool changed_anything(const godot::Object *p_object);
godot::Array cells(std::initializer_list<godot::Vector3i> p_cells);

} // namespace veltrin_test
