#include "guest_access/path_cache_key.hpp"

#include <godot_cpp/variant/variant.hpp>

#include <string>

namespace veltrin {

namespace {

// The key's text is put together in C++ and handed to the engine in one piece: each
// String operation would be a call into the engine.
void append_cell(std::string &r_text, const godot::Vector3i &p_cell) {
	r_text += std::to_string(p_cell.x);
	r_text += ',';
	r_text += std::to_string(p_cell.y);
	r_text += ',';
	r_text += std::to_string(p_cell.z);
}

godot::String engine_text(const std::string &p_text) {
	return godot::String::utf8(p_text.c_str(), int64_t(p_text.size()));
}

} // namespace

godot::String cache_key_suffix(const ProjectionNames &p_names, godot::Object *p_path, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access) {
	// Plain text gathers in C++; the access names, which may hold any character, are
	// appended as engine strings.
	godot::String suffix;
	std::string pending("|L:");
	const int64_t layer_count = p_layers.size();
	for (int64_t i = 0; i < layer_count; i++) {
		if (i > 0) {
			pending += ',';
		}
		pending += std::to_string(static_cast<int64_t>(p_layers[i]));
	}
	pending += "|A:";
	const int64_t access_count = p_access.size();
	for (int64_t i = 0; i < access_count; i++) {
		if (i > 0) {
			pending += ',';
		}
		// The length prefix (in characters) keeps names containing "," or ":" from running
		// together.
		const godot::String name = p_access[i];
		pending += std::to_string(name.length());
		pending += ':';
		suffix += engine_text(pending);
		suffix += name;
		pending.clear();
	}
	pending += "|R:";
	pending += std::to_string(static_cast<int64_t>(p_path->get(p_names.graph_revision)));
	suffix += engine_text(pending);
	return suffix;
}

godot::String cache_key_with_suffix(const godot::Vector3i &p_start, const godot::Vector3i &p_goal, const godot::String &p_suffix) {
	std::string cells;
	append_cell(cells, p_start);
	cells += '>';
	append_cell(cells, p_goal);
	godot::String key = engine_text(cells);
	key += p_suffix;
	return key;
}

} // namespace veltrin
