#pragma once

// The key under which a guest route is cached in the path service's _path_cache, shared
// with the service's own scripted queries: "x,y,z>x,y,z|L:<layers>|A:<access>|R:<revision>".

#include "guest_access/projection_names.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>

namespace veltrin {

// "|L:" layers joined by ",", "|A:" each access name as "<length>:<name>" joined by ",",
// "|R:" the path service's graph_revision (read here).
godot::String cache_key_suffix(const ProjectionNames &p_names, godot::Object *p_path, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access);

// "sx,sy,sz>gx,gy,gz" followed by the suffix.
godot::String cache_key_with_suffix(const godot::Vector3i &p_start, const godot::Vector3i &p_goal, const godot::String &p_suffix);

// The whole key for one route, built in one piece unless access names must go in.
godot::String cache_key(const ProjectionNames &p_names, godot::Object *p_path, const godot::Vector3i &p_start, const godot::Vector3i &p_goal, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access);

} // namespace veltrin
