#pragma once

// Loads the plug-in through the engine double's host once per suite and calls
// VeltrinNumericCore's bound methods by name, as a script does.

#include "core_test.hpp"

#include <engine_double/host.hpp>

#include <gtest/gtest.h>

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace veltrin_test {

class RouteTest : public CoreTest {
protected:
	godot::Dictionary search(const godot::Array &p_cells, const godot::Dictionary &p_indices, int64_t p_start, const godot::Dictionary &p_goals, const godot::Callable &p_provider) const;
	godot::Dictionary search_cached(const godot::Array &p_cells, const godot::Dictionary &p_indices, int64_t p_start, const godot::Dictionary &p_goals, const godot::Callable &p_provider) const;
	godot::Dictionary edge_rows(godot::Object *p_path, const godot::Vector3i &p_current, const godot::Array &p_layers, const godot::Array &p_access) const;
};

// A goals dictionary {cell: true} for the given cells.
godot::Dictionary goal_set(const std::vector<godot::Variant> &p_cells);

} // namespace veltrin_test
