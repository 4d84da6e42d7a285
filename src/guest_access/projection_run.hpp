#pragma once

// The state one projection call shares between its steps: the runtime's services, the
// guest, the caller's numbers and the query inputs every access search of the call uses.

#include "common/live_object.hpp"
#include "guest_access/path_cache_key.hpp"
#include "guest_access/projection_keys.hpp"
#include "guest_access/projection_names.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/callable.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>

namespace veltrin {

// The runtime's services and the guest, each reached again at every use.
struct ProjectionServices {
	LiveObject path;
	LiveObject elevators;
	LiveObject facilities;
	LiveObject registry;
	LiveObject inventory;
	LiveObject guests;
	LiveObject guest;
};

// The caller's arguments that reach the rows and the access searches.
struct ProjectionRequest {
	int64_t open_state = 0;
	int64_t degraded_state = 0;
	int64_t movement_scale = 0;
	int64_t stair_credit = 0;
	int64_t orthogonal_cost = 0;
	godot::Callable ticks;
};

struct ProjectionRun {
	const ProjectionNames &names;
	const ProjectionKeys &keys;
	const LiveObject &runtime;
	const ProjectionServices &services;
	const ProjectionRequest &request;
	godot::Vector3i current_cell;
	godot::TypedArray<int64_t> layers;
	godot::TypedArray<godot::StringName> access;
	// The current cell and its z as Variants, the keys of every search's start tests.
	godot::Variant current_cell_key;
	godot::Variant current_layer;
	// The layers and access lists as the Variants the path service's scripts are handed.
	godot::Variant layers_arg;
	godot::Variant access_arg;
	// The route keys the call's searches have made.
	CacheKeyTexts &key_texts;
};

} // namespace veltrin
