#include "sample_counter.hpp"

namespace sample {

namespace {

godot::Array &trace() {
	static godot::Array levels;
	return levels;
}

} // namespace

void SampleCounter::_bind_methods() {
	godot::ClassDB::bind_method(godot::D_METHOD("add", "amount"), &SampleCounter::add);
	godot::ClassDB::bind_method(godot::D_METHOD("summarize", "input", "cells", "ticks"), &SampleCounter::summarize);
	godot::ClassDB::bind_method(godot::D_METHOD("store_total", "target", "key"), &SampleCounter::store_total);
	godot::ClassDB::bind_static_method(get_class_static(), godot::D_METHOD("initialization_trace"), &SampleCounter::initialization_trace);
}

int64_t SampleCounter::add(int64_t p_amount) {
	total += p_amount;
	return total;
}

godot::Dictionary SampleCounter::summarize(const godot::Dictionary &p_input, const godot::TypedArray<godot::Vector3i> &p_cells, const godot::Callable &p_ticks) const {
	godot::Dictionary result;
	result[godot::StringName("keys")] = p_input.size();
	result[godot::StringName("cells")] = p_cells.size();
	result[godot::StringName("first")] = p_cells.is_empty() ? godot::Vector3i() : godot::Vector3i(p_cells[0]);
	result[godot::StringName("ticks")] = p_ticks.is_valid() ? int64_t(p_ticks.call()) : int64_t(-1);
	return result;
}

void SampleCounter::store_total(godot::Dictionary p_target, const godot::StringName &p_key) const {
	p_target[p_key] = total;
}

godot::Array SampleCounter::initialization_trace() {
	return trace().duplicate();
}

void SampleCounter::record_level(int64_t p_entry) {
	trace().push_back(p_entry);
}

} // namespace sample
