#pragma once

#include <godot_cpp/classes/object.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <vector>

namespace veltrin {

// Whether p_object is one of the game's own scripts: true exactly when the script attached
// to it has the resource path p_script_path, compared character for character. A null or
// freed object, or one without a script, is not; a script that merely extends one of ours
// is not either, since its members may differ. p_resource_path_name is the call's interned
// "resource_path". Reads the script's resource_path and changes nothing.
bool builtin(const godot::StringName &p_resource_path_name, godot::Object *p_object, const char *p_script_path);

// The same test against a path already made an engine string, for a caller that tests many
// objects against one path.
bool builtin(const godot::StringName &p_resource_path_name, godot::Object *p_object, const godot::String &p_script_path);

// The same test, answering the recognised script itself (for its constants), else null.
godot::Object *builtin_script(const godot::StringName &p_resource_path_name, godot::Object *p_object, const char *p_script_path);
godot::Object *builtin_script(const godot::StringName &p_resource_path_name, godot::Object *p_object, const godot::String &p_script_path);

// The same test for one call's many objects: each distinct script's resource_path is read
// once (an engine property, no game code), and its objects are told apart by the script
// itself, which get_script() answers afresh for every object, so one whose script was
// swapped is tested against its new script. The scripts seen are held, so none is freed
// and replaced by another at the same address while the call runs.
class BuiltinScripts {
	struct Seen {
		godot::Variant script;
		godot::Object *object;
		godot::String path;
	};
	std::vector<Seen> seen;

public:
	bool builtin(const godot::StringName &p_resource_path_name, godot::Object *p_object, const godot::String &p_script_path);
};

} // namespace veltrin
