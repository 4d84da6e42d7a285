#pragma once

// A tiny extension class, written only against godot-cpp's API: a counter with a few
// bound methods taking the engine values the real plug-in uses.

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

namespace sample {

class SampleCounter : public godot::RefCounted {
	GDCLASS(SampleCounter, godot::RefCounted)

	int64_t total = 0;

protected:
	static void _bind_methods();

public:
	// Adds p_amount to the running total and returns it.
	int64_t add(int64_t p_amount);
	// Size of p_input, the cells' count and first cell, and one reading of p_ticks.
	godot::Dictionary summarize(const godot::Dictionary &p_input, const godot::TypedArray<godot::Vector3i> &p_cells, const godot::Callable &p_ticks) const;
	// Writes the total into the caller's dictionary under p_key.
	void store_total(godot::Dictionary p_target, const godot::StringName &p_key) const;

	// The levels the library's initializer and terminator ran at, in order: +level for an
	// initialization, -(level + 1) for a termination.
	static godot::Array initialization_trace();
	static void record_level(int64_t p_entry);
};

} // namespace sample
