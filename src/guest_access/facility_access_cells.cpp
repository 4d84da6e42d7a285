#include "guest_access/facility_access_cells.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace veltrin {

namespace {

bool before_in_access_order(const godot::Vector3i &p_a, const godot::Vector3i &p_b) {
	if (p_a.z != p_b.z) {
		return p_a.z < p_b.z;
	}
	if (p_a.y != p_b.y) {
		return p_a.y < p_b.y;
	}
	return p_a.x < p_b.x;
}

void add_if_passable(const godot::Dictionary &p_passable, const godot::Vector3i &p_cell, std::vector<godot::Vector3i> &r_cells) {
	if (p_passable.has(p_cell)) {
		r_cells.push_back(p_cell);
	}
}

} // namespace

godot::Array facility_access_cells(const ProjectionNames &p_names, godot::Object *p_path_service, godot::Object *p_facility) {
	if (p_path_service == nullptr || p_facility == nullptr) {
		return godot::Array();
	}
	const godot::Dictionary passable = p_path_service->get(p_names._passable_cells);
	const godot::Array occupied = p_facility->get(p_names.occupied_cells);
	godot::Array cells = occupied.duplicate(false);
	if (cells.is_empty()) {
		cells.append(p_facility->get(p_names.origin));
	}

	std::vector<godot::Vector3i> found;
	const int64_t cell_count = cells.size();
	found.reserve(static_cast<size_t>(cell_count) * 2 + 1);
	for (int64_t i = 0; i < cell_count; i++) {
		const godot::Vector3i cell = cells[i];
		// A neighbour beyond the 32-bit grid does not exist: it is not looked up.
		if (cell.x > std::numeric_limits<int32_t>::min()) {
			add_if_passable(passable, godot::Vector3i(cell.x - 1, cell.y, cell.z), found);
		}
		if (cell.x < std::numeric_limits<int32_t>::max()) {
			add_if_passable(passable, godot::Vector3i(cell.x + 1, cell.y, cell.z), found);
		}
	}
	const godot::Vector3i origin = p_facility->get(p_names.origin);
	add_if_passable(passable, origin, found);

	std::sort(found.begin(), found.end(), before_in_access_order);
	found.erase(std::unique(found.begin(), found.end()), found.end());

	godot::Array result;
	result.resize(static_cast<int64_t>(found.size()));
	for (size_t i = 0; i < found.size(); i++) {
		result[static_cast<int64_t>(i)] = found[i];
	}
	return result;
}

} // namespace veltrin
