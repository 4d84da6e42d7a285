#pragma once

// The key under which a guest route is cached in the path service's _path_cache, shared
// with the service's own scripted queries: "x,y,z>x,y,z|L:<layers>|A:<access>|R:<revision>".

#include "guest_access/projection_names.hpp"

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace veltrin {

// "|L:" layers joined by ",", "|A:" each access name as "<length>:<name>" joined by ",",
// "|R:" the path service's graph_revision (read here).
godot::String cache_key_suffix(const ProjectionNames &p_names, godot::Object *p_path, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access);

// "sx,sy,sz>gx,gy,gz" followed by the suffix.
godot::String cache_key_with_suffix(const godot::Vector3i &p_start, const godot::Vector3i &p_goal, const godot::String &p_suffix);

// The whole key for one route, built in one piece unless access names must go in.
godot::String cache_key(const ProjectionNames &p_names, godot::Object *p_path, const godot::Vector3i &p_start, const godot::Vector3i &p_goal, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access);

// The keys one call has made, by their text: a route's key is built for the prefilter and
// again when it is resolved, and the suffix is the same for every goal at one revision. Each
// key made in the engine costs its text's decoding and an allocation.
class CacheKeyTexts {
	// Held as the Variants every lookup takes; a map's values stay put as it grows.
	std::unordered_map<std::string, godot::Variant> keys;

public:
	const godot::Variant &key(const std::string &p_text);
};

// The suffix as plain text (graph_revision read here), for a query without access names;
// false, with nothing read, when access names must go in as engine strings.
bool cache_key_suffix_text(const ProjectionNames &p_names, godot::Object *p_path, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, std::string &r_text);
// cache_key_with_suffix over a suffix made by cache_key_suffix_text.
const godot::Variant &cache_key_from_text(const godot::Vector3i &p_start, const godot::Vector3i &p_goal, const std::string &p_suffix_text, CacheKeyTexts &r_texts);

// cache_key as the Variant every lookup takes, taken from r_texts when one of the same text
// was made before; a key with access names is made into r_built.
const godot::Variant &cache_key_variant(const ProjectionNames &p_names, godot::Object *p_path, const godot::Vector3i &p_start, const godot::Vector3i &p_goal, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, CacheKeyTexts &r_texts, std::optional<godot::Variant> &r_built);

} // namespace veltrin
