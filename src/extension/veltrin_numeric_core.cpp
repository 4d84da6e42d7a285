#include "extension/veltrin_numeric_core.hpp"

#include "common/answers.hpp"
#include "guest_access/nearest_guest_access.hpp"
#include "guest_access/project_guest_candidates.hpp"
#include "guest_choice/guest_candidate_batch.hpp"
#include "performance/performance_record_sample.hpp"
#include "route/search_entry.hpp"
#include "route/walk_edge_rows.hpp"

#include <type_traits>

using namespace godot;

#ifdef VELTRIN_DIAGNOSTICS
// MinGW may release a thread's emulated thread-local storage before it runs that thread's
// thread-local destructors: the counters must need none.
static_assert(std::is_trivially_destructible<veltrin::DiagnosticValues>::value, "per-thread counters must be plain data");
thread_local veltrin::DiagnosticValues VeltrinNumericCore::diagnostic_values;

veltrin::DiagnosticValues &veltrin::current_thread_diagnostics() {
	return VeltrinNumericCore::diagnostic_values;
}
#endif

void VeltrinNumericCore::_bind_methods() {
#ifdef VELTRIN_DIAGNOSTICS
	ClassDB::bind_method(D_METHOD("diagnostic_reset"), &VeltrinNumericCore::diagnostic_reset);
	ClassDB::bind_method(D_METHOD("diagnostic_snapshot"), &VeltrinNumericCore::diagnostic_snapshot);
#endif
	ClassDB::bind_method(D_METHOD("performance_record_sample", "owner", "metric_id", "duration_us"), &VeltrinNumericCore::performance_record_sample);
	ClassDB::bind_method(D_METHOD("guest_candidate_batch", "owner", "guest_id", "facilities", "context"), &VeltrinNumericCore::guest_candidate_batch);
	ClassDB::bind_method(D_METHOD("guest_tree_edge_rows", "path", "current", "layers", "access"), &VeltrinNumericCore::guest_tree_edge_rows);
	ClassDB::bind_method(D_METHOD("search", "cells", "indices", "start_index", "goals", "edge_provider"), &VeltrinNumericCore::search);
	ClassDB::bind_method(D_METHOD("search_cached", "cells", "indices", "start_index", "goals", "edge_provider"), &VeltrinNumericCore::search_cached);
	ClassDB::bind_method(D_METHOD("clear_edge_cache"), &VeltrinNumericCore::clear_edge_cache);
	ClassDB::bind_method(D_METHOD("nearest_guest_access", "path", "start", "goals", "fallback_target", "layers", "access", "ticks"), &VeltrinNumericCore::nearest_guest_access);
	ClassDB::bind_method(D_METHOD("project_guest_candidates", "runtime", "guest_id", "open_state", "degraded_state", "movement_scale", "stair_credit", "orthogonal_cost", "ticks"), &VeltrinNumericCore::project_guest_candidates);
}

#ifdef VELTRIN_DIAGNOSTICS
void VeltrinNumericCore::diagnostic_reset() {
	veltrin::diagnostic_values_reset(diagnostic_values);
}

Dictionary VeltrinNumericCore::diagnostic_snapshot() const {
	return veltrin::guarded_call([] { return veltrin::diagnostic_values_snapshot(diagnostic_values); }, [] { return Dictionary(); });
}
#endif

Dictionary VeltrinNumericCore::performance_record_sample(Object *p_owner, const StringName &p_metric_id, int64_t p_duration_us) {
	return veltrin::guarded_call([&] { return veltrin::performance_record_sample_impl(p_owner, p_metric_id, p_duration_us); }, veltrin::declined_answer);
}

Dictionary VeltrinNumericCore::guest_candidate_batch(Object *p_owner, const StringName &p_guest_id, const Array &p_facilities, const Dictionary &p_context) {
	return veltrin::guarded_call([&] { return veltrin::guest_candidate_batch_impl(p_owner, p_guest_id, p_facilities, p_context); }, veltrin::declined_answer);
}

Dictionary VeltrinNumericCore::guest_tree_edge_rows(Object *p_path, const Vector3i &p_current, const Array &p_layers, const Array &p_access) {
	return veltrin::guarded_call([&] { return veltrin::guest_tree_edge_rows_impl(p_path, p_current, p_layers, p_access); }, veltrin::declined_answer);
}

Dictionary VeltrinNumericCore::search(const Array &p_cells, const Dictionary &p_indices, int64_t p_start_index, const Dictionary &p_goals, const Callable &p_edge_provider) {
	return veltrin::guarded_call([&] { return veltrin::search_impl(p_cells, p_indices, p_start_index, p_goals, p_edge_provider, edge_cache, false); }, veltrin::unusable_answer);
}

Dictionary VeltrinNumericCore::search_cached(const Array &p_cells, const Dictionary &p_indices, int64_t p_start_index, const Dictionary &p_goals, const Callable &p_edge_provider) {
	return veltrin::guarded_call([&] { return veltrin::search_impl(p_cells, p_indices, p_start_index, p_goals, p_edge_provider, edge_cache, true); }, veltrin::unusable_answer);
}

void VeltrinNumericCore::clear_edge_cache() {
	edge_cache.clear();
}

Dictionary VeltrinNumericCore::nearest_guest_access(Object *p_path, const Vector3i &p_start, const Array &p_goals, const Vector3i &p_fallback_target, const TypedArray<int64_t> &p_layers, const TypedArray<StringName> &p_access, const Callable &p_ticks) {
	return veltrin::guarded_call([&] { return veltrin::nearest_guest_access_impl(p_path, p_start, p_goals, p_fallback_target, p_layers, p_access, p_ticks); }, veltrin::declined_answer);
}

Dictionary VeltrinNumericCore::project_guest_candidates(Object *p_runtime, const StringName &p_guest_id, int64_t p_open_state, int64_t p_degraded_state, int64_t p_movement_scale, int64_t p_stair_credit, int64_t p_orthogonal_cost, const Callable &p_ticks) {
	return veltrin::guarded_call([&] { return veltrin::project_guest_candidates_impl(p_runtime, p_guest_id, p_open_state, p_degraded_state, p_movement_scale, p_stair_credit, p_orthogonal_cost, p_ticks); }, veltrin::declined_answer);
}
