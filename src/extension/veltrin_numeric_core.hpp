#pragma once

// The one script-visible class of the plug-in. Its bound methods are thin wrappers: each
// hands its arguments to the free function that does the work.

#include "common/diagnostics.hpp"
#include "route/edge_cache.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/core/class_db.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>

class VeltrinNumericCore : public godot::RefCounted {
	GDCLASS(VeltrinNumericCore, godot::RefCounted)

	// Edges of each node index that search_cached has already asked for.
	veltrin::EdgeCache edge_cache;

protected:
	static void _bind_methods();

public:
#ifdef VELTRIN_DIAGNOSTICS
	// Shared by every instance on a thread; zero when the thread starts.
	static thread_local veltrin::DiagnosticValues diagnostic_values;

	void diagnostic_reset();
	godot::Dictionary diagnostic_snapshot() const;
#endif

	godot::Dictionary performance_record_sample(godot::Object *p_owner, const godot::StringName &p_metric_id, int64_t p_duration_us);
	godot::Dictionary guest_candidate_batch(godot::Object *p_owner, const godot::StringName &p_guest_id, const godot::Array &p_facilities, const godot::Dictionary &p_context);
	godot::Dictionary guest_tree_edge_rows(godot::Object *p_path, const godot::Vector3i &p_current, const godot::Array &p_layers, const godot::Array &p_access);
	godot::Dictionary search(const godot::Array &p_cells, const godot::Dictionary &p_indices, int64_t p_start_index, const godot::Dictionary &p_goals, const godot::Callable &p_edge_provider);
	godot::Dictionary search_cached(const godot::Array &p_cells, const godot::Dictionary &p_indices, int64_t p_start_index, const godot::Dictionary &p_goals, const godot::Callable &p_edge_provider);
	void clear_edge_cache();
	godot::Dictionary nearest_guest_access(godot::Object *p_path, const godot::Vector3i &p_start, const godot::Array &p_goals, const godot::Vector3i &p_fallback_target, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, const godot::Callable &p_ticks);
	godot::Dictionary project_guest_candidates(godot::Object *p_runtime, const godot::StringName &p_guest_id, int64_t p_open_state, int64_t p_degraded_state, int64_t p_movement_scale, int64_t p_stair_credit, int64_t p_orthogonal_cost, const godot::Callable &p_ticks);
};
