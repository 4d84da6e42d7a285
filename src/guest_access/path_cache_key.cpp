#include "guest_access/path_cache_key.hpp"

#include <godot_cpp/variant/variant.hpp>

#include <optional>
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

// Appends the suffix to r_pending. Plain text gathers in C++; an access name, which may
// hold any character, goes in as an engine string, after the text before it (r_engine).
void append_suffix(const ProjectionNames &p_names, godot::Object *p_path, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, std::string &r_pending, std::optional<godot::String> &r_engine) {
	r_pending += "|L:";
	const int64_t layer_count = p_layers.size();
	for (int64_t i = 0; i < layer_count; i++) {
		if (i > 0) {
			r_pending += ',';
		}
		r_pending += std::to_string(static_cast<int64_t>(p_layers[i]));
	}
	r_pending += "|A:";
	const int64_t access_count = p_access.size();
	for (int64_t i = 0; i < access_count; i++) {
		if (i > 0) {
			r_pending += ',';
		}
		// The length prefix (in characters) keeps names containing "," or ":" from running
		// together.
		const godot::String name = p_access[i];
		r_pending += std::to_string(name.length());
		r_pending += ':';
		if (!r_engine) {
			r_engine.emplace();
		}
		*r_engine += engine_text(r_pending);
		*r_engine += name;
		r_pending.clear();
	}
	r_pending += "|R:";
	r_pending += std::to_string(static_cast<int64_t>(p_path->get(p_names.graph_revision)));
}

// The gathered text as one engine string.
godot::String finish_key(const std::string &p_pending, std::optional<godot::String> &r_engine) {
	if (!r_engine) {
		return engine_text(p_pending);
	}
	*r_engine += engine_text(p_pending);
	return *r_engine;
}

// The suffix's text, the revision read, when no access name needs an engine string.
bool plain_suffix(const ProjectionNames &p_names, godot::Object *p_path, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, std::string &r_pending) {
	if (!p_access.is_empty()) {
		return false;
	}
	std::optional<godot::String> engine;
	append_suffix(p_names, p_path, p_layers, p_access, r_pending, engine);
	return true;
}

} // namespace

const godot::Variant &CacheKeyTexts::key(const std::string &p_text) {
	auto found = keys.find(p_text);
	if (found == keys.end()) {
		found = keys.emplace(p_text, godot::Variant(engine_text(p_text))).first;
	}
	return found->second;
}

bool cache_key_suffix_text(const ProjectionNames &p_names, godot::Object *p_path, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, std::string &r_text) {
	r_text.clear();
	return plain_suffix(p_names, p_path, p_layers, p_access, r_text);
}

const godot::Variant &cache_key_from_text(const godot::Vector3i &p_start, const godot::Vector3i &p_goal, const std::string &p_suffix_text, CacheKeyTexts &r_texts) {
	std::string text;
	append_cell(text, p_start);
	text += '>';
	append_cell(text, p_goal);
	text += p_suffix_text;
	return r_texts.key(text);
}

const godot::Variant &cache_key_variant(const ProjectionNames &p_names, godot::Object *p_path, const godot::Vector3i &p_start, const godot::Vector3i &p_goal, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access, CacheKeyTexts &r_texts, std::optional<godot::Variant> &r_built) {
	if (!p_access.is_empty()) {
		return r_built.emplace(cache_key(p_names, p_path, p_start, p_goal, p_layers, p_access));
	}
	std::string suffix;
	plain_suffix(p_names, p_path, p_layers, p_access, suffix);
	return cache_key_from_text(p_start, p_goal, suffix, r_texts);
}

godot::String cache_key_suffix(const ProjectionNames &p_names, godot::Object *p_path, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access) {
	std::string pending;
	std::optional<godot::String> engine;
	append_suffix(p_names, p_path, p_layers, p_access, pending, engine);
	return finish_key(pending, engine);
}

godot::String cache_key(const ProjectionNames &p_names, godot::Object *p_path, const godot::Vector3i &p_start, const godot::Vector3i &p_goal, const godot::TypedArray<int64_t> &p_layers, const godot::TypedArray<godot::StringName> &p_access) {
	std::string pending;
	append_cell(pending, p_start);
	pending += '>';
	append_cell(pending, p_goal);
	std::optional<godot::String> engine;
	append_suffix(p_names, p_path, p_layers, p_access, pending, engine);
	return finish_key(pending, engine);
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
