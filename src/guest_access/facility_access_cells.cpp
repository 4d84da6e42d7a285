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
	std::vector<godot::Vector3i> found;
	const auto add_neighbours = [&](const godot::Vector3i &p_cell) {
		// A neighbour beyond the 32-bit grid does not exist: it is not looked up.
		if (p_cell.x > std::numeric_limits<int32_t>::min()) {
			add_if_passable(passable, godot::Vector3i(p_cell.x - 1, p_cell.y, p_cell.z), found);
		}
		if (p_cell.x < std::numeric_limits<int32_t>::max()) {
			add_if_passable(passable, godot::Vector3i(p_cell.x + 1, p_cell.y, p_cell.z), found);
		}
	};
	// Read in place, not copied: nothing runs in the engine between the read and the loop.
	// A facility that occupies no cell stands on its origin.
	const godot::Array occupied = p_facility->get(p_names.occupied_cells);
	const int64_t cell_count = occupied.size();
	if (cell_count == 0) {
		add_neighbours(p_facility->get(p_names.origin));
	}
	found.reserve(static_cast<size_t>(cell_count) * 2 + 3);
	for (int64_t i = 0; i < cell_count; i++) {
		add_neighbours(occupied[i]);
	}
	const godot::Vector3i origin = p_facility->get(p_names.origin);
	add_if_passable(passable, origin, found);

	std::sort(found.begin(), found.end(), before_in_access_order);
	found.erase(std::unique(found.begin(), found.end()), found.end());

	godot::Array result;
	for (const godot::Vector3i &cell : found) {
		result.append(cell);
	}
	return result;
}

} // namespace veltrin
