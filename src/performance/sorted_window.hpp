#pragma once

// The sorted copy of a metric's window: an engine array typed int, ascending, kept in step
// with the window by binary-search insertion and removal.

#include <godot_cpp/variant/array.hpp>

#include <cstdint>

namespace veltrin {

// A new array typed int holding p_window's elements (all ints) in ascending order.
godot::Array sorted_copy_of(const godot::Array &p_window);

// The leftmost position at which p_value keeps p_sorted ascending (before equal values).
int64_t sorted_lower_bound(const godot::Array &p_sorted, int64_t p_value);

// Inserts p_value before any equal values.
void sorted_insert(godot::Array &r_sorted, int64_t p_value);

// Replaces one element equal to p_leaving, found by binary search, by p_entering, keeping the
// copy sorted. The same array results as from inserting p_entering and then removing
// p_leaving, but only the elements between the two positions move. Returns false, changing
// nothing, when p_leaving is not where the search finds it: the copy no longer matches its
// window.
bool sorted_replace(godot::Array &r_sorted, int64_t p_leaving, int64_t p_entering);

// Largest value, never below 0; 0 for an empty copy.
int64_t sorted_maximum(const godot::Array &p_sorted);

// Nearest-rank 95th percentile, not clamped; 0 for an empty copy.
int64_t sorted_p95(const godot::Array &p_sorted);

} // namespace veltrin
