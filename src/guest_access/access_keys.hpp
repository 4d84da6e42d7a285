#pragma once

#include "guest_access/projection_names.hpp"

#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

namespace veltrin {

// The dictionary keys and constant values an access search reads and writes (the query
// batch, its tree, the traffic entries, the answer), built once per call: a name converted
// to a key per lookup costs two more calls into the engine. Each member is named after its
// text; nil, no, yes and empty_text are the defaults and written values.
struct AccessKeys {
	godot::Variant nil;
	godot::Variant no;
	godot::Variant yes;
	godot::Variant empty_text;
	godot::Variant OK;
	godot::Variant arithmetic_wrapped;
	godot::Variant compact;
	godot::Variant cost_values;
	godot::Variant costs;
	godot::Variant indices;
	godot::Variant path;
	godot::Variant reachable;
	godot::Variant ready;
	godot::Variant settled;
	godot::Variant start;
	godot::Variant supported;
	godot::Variant target_cell;
	godot::Variant targets;
	godot::Variant temporary_block;
	godot::Variant tree;
	godot::Variant usable;
	// The empty route an answer starts from: a copy costs one call, a new typed array several.
	// Copies share it, so it is only ever replaced, never added to.
	godot::TypedArray<godot::Vector3i> no_route;

	explicit AccessKeys(const ProjectionNames &p_names);
	AccessKeys(const AccessKeys &) = delete;
	AccessKeys &operator=(const AccessKeys &) = delete;
};

} // namespace veltrin
