#pragma once

#include <godot_cpp/variant/string_name.hpp>

#include <cstddef>

namespace engine_double::internal {

// Interned names hash by their cached text hash: no string work per lookup.
struct StringNameHasher {
	size_t operator()(const godot::StringName &p_name) const { return p_name._hash32(); }
};

} // namespace engine_double::internal
