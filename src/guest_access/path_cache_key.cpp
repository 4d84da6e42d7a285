#include "guest_access/path_cache_key.hpp"

#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

namespace {

void append_cell(godot::String &r_text, const godot::Vector3i &p_cell) {
	r_text += godot::String::num_int64(p_cell.x);
	r_text += ",";
	r_text += godot::String::num_int64(p_cell.y);
	r_text += ",";
	r_text += godot::String::num_int64(p_cell.z);
}

} // namespace

godot::String cache_key_suffix(const ProjectionNames &p_names, godot::Object *p_path, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access) {
	godot::String suffix("|L:");
	for (int64_t i = 0; i < p_layers.size(); i++) {
		if (i > 0) {
			suffix += ",";
		}
		suffix += godot::String::num_int64(static_cast<int64_t>(p_layers[i]));
	}
	suffix += "|A:";
	for (int64_t i = 0; i < p_access.size(); i++) {
		if (i > 0) {
			suffix += ",";
		}
		// The length prefix keeps names containing "," or ":" from running together.
		const godot::String name = p_access[i];
		suffix += godot::String::num_int64(name.length());
		suffix += ":";
		suffix += name;
	}
	suffix += "|R:";
	suffix += godot::String::num_int64(static_cast<int64_t>(p_path->get(p_names.graph_revision)));
	return suffix;
}

godot::String cache_key_with_suffix(const godot::Vector3i &p_start, const godot::Vector3i &p_goal, const godot::String &p_suffix) {
	godot::String key;
	append_cell(key, p_start);
	key += ">";
	append_cell(key, p_goal);
	key += p_suffix;
	return key;
}

} // namespace veltrin
