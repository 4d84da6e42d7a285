#include "guest_access/facility_access_cells.hpp"

#include "common/dictionary_reads.hpp"

#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>
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

// A passable cell, with the Variant it was looked up by, which the answer then holds.
struct PassableCell {
	godot::Vector3i cell;
	godot::Variant key;

	explicit PassableCell(const godot::Vector3i &p_cell) :
	        cell(p_cell), key(p_cell) {}
};

// r_found has room reserved for the cell: its Variants are never moved.
void add_if_passable(const godot::Variant &p_passable, const godot::Vector3i &p_cell, std::vector<PassableCell> &r_found) {
	const PassableCell &probe = r_found.emplace_back(p_cell);
	if (!dictionary_has(p_passable, probe.key)) {
		r_found.pop_back();
	}
}

} // namespace

godot::Array facility_access_cells(const ProjectionNames &p_names, const LiveObject &p_path_service, const LiveObject &p_facility) {
	godot::Array result;
	append_facility_access_cells(p_names, p_path_service, p_facility, result);
	return result;
}

void append_facility_access_cells(const ProjectionNames &p_names, const LiveObject &p_path_service, const LiveObject &p_facility, godot::Array &r_cells) {
	AccessCells cells;
	gather_facility_access_cells(p_names, p_path_service, p_facility, cells);
	for (const godot::Variant &cell : cells) {
		r_cells.append(cell);
	}
}

void gather_facility_access_cells(const ProjectionNames &p_names, const LiveObject &p_path_service, const LiveObject &p_facility, AccessCells &r_cells) {
	r_cells.clear();
	if (p_path_service.is_null() || p_facility.is_null()) {
		return;
	}
	// Only looked up in: kept as read, no dictionary taken out of it.
	const godot::Variant passable = p_path_service->get(p_names._passable_cells);
	std::vector<godot::Vector3i> neighbours;
	const auto add_neighbours = [&](const godot::Vector3i &p_cell) {
		// A neighbour beyond the 32-bit grid does not exist: it is not looked up.
		if (p_cell.x > std::numeric_limits<int32_t>::min()) {
			neighbours.push_back(godot::Vector3i(p_cell.x - 1, p_cell.y, p_cell.z));
		}
		if (p_cell.x < std::numeric_limits<int32_t>::max()) {
			neighbours.push_back(godot::Vector3i(p_cell.x + 1, p_cell.y, p_cell.z));
		}
	};
	// Read in place, not copied: nothing runs in the engine between the read and the loop.
	// A facility that occupies no cell stands on its origin, read then, once: each read
	// runs the facility's script (a getter), which may answer differently the next time.
	const godot::Array occupied = p_facility->get(p_names.occupied_cells);
	const int64_t cell_count = occupied.size();
	std::optional<godot::Vector3i> origin_read;
	if (cell_count == 0) {
		origin_read = p_facility->get(p_names.origin).operator godot::Vector3i();
		add_neighbours(*origin_read);
	}
	neighbours.reserve(static_cast<size_t>(cell_count) * 2 + 2);
	for (int64_t i = 0; i < cell_count; i++) {
		add_neighbours(occupied[i]);
	}
	// Each neighbour is looked up once (two occupied cells side by side share one), and
	// before the origin is read: that read runs the facility's script.
	std::sort(neighbours.begin(), neighbours.end(), before_in_access_order);
	neighbours.erase(std::unique(neighbours.begin(), neighbours.end()), neighbours.end());
	std::vector<PassableCell> found;
	found.reserve(neighbours.size() + 1);
	for (const godot::Vector3i &cell : neighbours) {
		add_if_passable(passable, cell, found);
	}
	const size_t neighbours_found = found.size();
	const godot::Vector3i origin = origin_read ? *origin_read : p_facility->get(p_names.origin).operator godot::Vector3i();
	add_if_passable(passable, origin, found);

	// The neighbours found are in order; a passable origin goes in its place, once.
	bool origin_pending = found.size() > neighbours_found;
	r_cells.reserve(found.size());
	for (size_t i = 0; i < neighbours_found; i++) {
		if (origin_pending && !before_in_access_order(found[i].cell, origin)) {
			if (found[i].cell != origin) {
				r_cells.push_back(found.back().key);
			}
			origin_pending = false;
		}
		r_cells.push_back(std::move(found[i].key));
	}
	if (origin_pending) {
		r_cells.push_back(std::move(found.back().key));
	}
}

} // namespace veltrin
