#pragma once

#include <godot_cpp/classes/ref_counted.hpp>
#include <godot_cpp/variant/string.hpp>

namespace godot {

// A resource with its "resource_path" property (get_path / set_path).
class ENGINE_DOUBLE_API Resource : public RefCounted {
	GDE_DOUBLE_ENGINE_CLASS(Resource, RefCounted)

	String _path;

public:
	Resource() = default;

	void set_path(const String &p_path);
	String get_path() const;
};

} // namespace godot
