#pragma once

#include <engine_double/internal/crossing.hpp>
#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>

#include <cstdint>

namespace godot {

class Variant;

// A node path kept as its text; the double has no scene tree to resolve it against.
class ENGINE_DOUBLE_API NodePath {
	String _path;

public:
	NodePath() = default;
	NodePath(const String &p_path) :
	        _path(p_path) {}
	NodePath(const char *p_path) :
	        _path(p_path) {}

	bool is_empty() const { return _path.is_empty(); }
	bool is_absolute() const { return _path.begins_with("/"); }
	String get_concatenated_names() const;
	int64_t hash() const { return _path.hash(); }
	const String &_text() const { return _path; }

	bool operator==(const NodePath &p_other) const { return _path == p_other._path; }
	bool operator!=(const NodePath &p_other) const { return !(_path == p_other._path); }
	ENGINE_DOUBLE_NIL_COMPARISON bool operator==(const Variant &) const {
		ENGINE_DOUBLE_CROSSING;
		return false;
	}
	ENGINE_DOUBLE_NIL_COMPARISON bool operator!=(const Variant &) const {
		ENGINE_DOUBLE_CROSSING;
		return true;
	}
};

} // namespace godot
