#include "guest_access/guest_cells.hpp"

#include "common/dictionary_reads.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>

namespace veltrin {

bool layer_permitted(const godot::TypedArray<int64_t> &p_layers, const godot::Vector3i &p_cell) {
	// One search in the engine, whatever the array's length.
	return p_layers.has(static_cast<int64_t>(p_cell.z));
}

bool layer_permitted(const godot::TypedArray<int64_t> &p_layers, const godot::Variant &p_layer) {
	return p_layers.has(p_layer);
}

bool blocked(const ProjectionNames &p_names, const AccessKeys &p_keys, godot::Object *p_path, const godot::Variant &p_cell_key) {
	const godot::Variant traffic_value = p_path->get(p_names._cell_traffic);
	// Most cells have no entry: the test ends at the first look.
	if (!dictionary_has(traffic_value, p_cell_key)) {
		return false;
	}
	const godot::Dictionary traffic = traffic_value;
	const godot::Variant &found = traffic[p_cell_key];
	if (found.get_type() != godot::Variant::DICTIONARY) {
		return false;
	}
	const godot::Dictionary entry = found;
	if (entry.is_empty()) {
		return false;
	}
	// An entry without the flag is a congested cell, not a blocked one.
	return entry_or(entry, p_keys.temporary_block, p_keys.no);
}

} // namespace veltrin
