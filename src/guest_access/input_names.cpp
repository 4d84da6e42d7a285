#include "guest_access/input_names.hpp"

#include "common/builtin.hpp"
#include "common/script_paths.hpp"

#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

namespace veltrin {

godot::Array runtime_sorted_input_names(const ProjectionNames &p_names, godot::Object *p_runtime, const godot::Dictionary &p_inputs) {
	if (p_runtime == nullptr) {
		return godot::Array();
	}
	return p_runtime->call(p_names._sorted_name_keys, p_inputs);
}

#ifdef VELTRIN_NATIVE_INPUT_ORDER
namespace {

// The native order once the runtime is known to be the game's own. A caller that only reads
// the order (p_typed false) takes the key list itself when there is nothing to order: a new
// typed array costs several calls into the engine. r_own is false when the runtime answered.
godot::Array sorted_input_names(const ProjectionNames &p_names, godot::Object *p_runtime, const godot::Dictionary &p_inputs, bool p_typed, bool &r_own) {
	r_own = false;
	// The key list is this call's own: its size stays put. Not const, so that it is handed
	// over, not copied, when it is the answer.
	godot::Array keys = p_inputs.keys();
	const int64_t count = keys.size();
	for (int64_t i = 0; i < count; i++) {
		if (keys[i].get_type() != godot::Variant::STRING_NAME) {
			return runtime_sorted_input_names(p_names, p_runtime, p_inputs);
		}
	}
	r_own = true;
	if (count < 2 && !p_typed) {
		return keys;
	}
	godot::TypedArray<godot::StringName> sorted;
	if (count < 2) {
		// Nothing to order (most facilities take one input).
		if (count == 1) {
			sorted.append(keys[0]);
		}
		return sorted;
	}
	// StringName's own order compares interned pointers; the text decides here.
	using Entry = std::pair<godot::String, godot::StringName>;
	std::vector<Entry> entries;
	try {
		entries.reserve(static_cast<size_t>(count));
		for (int64_t i = 0; i < count; i++) {
			const godot::StringName name = keys[i];
			entries.emplace_back(godot::String(name), name);
		}
	} catch (const std::bad_alloc &) {
		r_own = false;
		return runtime_sorted_input_names(p_names, p_runtime, p_inputs);
	} catch (const std::length_error &) {
		r_own = false;
		return runtime_sorted_input_names(p_names, p_runtime, p_inputs);
	}
	std::sort(entries.begin(), entries.end(), [](const Entry &p_a, const Entry &p_b) { return p_a.first < p_b.first; });

	sorted.resize(static_cast<int64_t>(entries.size()));
	for (size_t i = 0; i < entries.size(); i++) {
		sorted[static_cast<int64_t>(i)] = entries[i].second;
	}
	return sorted;
}

} // namespace

godot::Array sorted_builtin_input_names(const ProjectionNames &p_names, godot::Object *p_runtime, const godot::Dictionary &p_inputs) {
	if (!builtin(p_names.resource_path, p_runtime, SIMULATION_RUNTIME_SCRIPT)) {
		return runtime_sorted_input_names(p_names, p_runtime, p_inputs);
	}
	bool own = false;
	return sorted_input_names(p_names, p_runtime, p_inputs, true, own);
}
#endif

godot::Array ordered_input_names(const ProjectionNames &p_names, godot::Object *p_builtin_runtime, const godot::Dictionary &p_inputs, bool &r_own) {
#ifdef VELTRIN_NATIVE_INPUT_ORDER
	return sorted_input_names(p_names, p_builtin_runtime, p_inputs, false, r_own);
#else
	r_own = false;
	return runtime_sorted_input_names(p_names, p_builtin_runtime, p_inputs);
#endif
}

} // namespace veltrin
