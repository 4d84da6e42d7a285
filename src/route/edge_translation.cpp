#include "route/edge_translation.hpp"

#include <godot_cpp/variant/array.hpp>

#include <cstdint>

namespace veltrin {

void translate_edge_rows(const godot::Variant &p_rows, const godot::Dictionary &p_indices, std::vector<veltrin_native::Edge> &r_edges) {
	r_edges.clear();
	if (p_rows.get_type() != godot::Variant::ARRAY) {
		r_edges.push_back(veltrin_native::Edge { -1, 0 });
		return;
	}
	const godot::Array rows = p_rows;
	const godot::Variant absent = int64_t(-1);
	const int64_t row_count = rows.size();
	for (int64_t i = 0; i < row_count; i++) {
		const godot::Variant &row_value = rows[i];
		if (row_value.get_type() != godot::Variant::ARRAY) {
			r_edges.push_back(veltrin_native::Edge { -1, 0 });
			return;
		}
		const godot::Array row = row_value;
		if (row.size() != 2 || row[1].get_type() != godot::Variant::INT) {
			r_edges.push_back(veltrin_native::Edge { -1, 0 });
			return;
		}
		const int64_t cost = row[1];
		if (cost <= 0) {
			r_edges.push_back(veltrin_native::Edge { -1, cost });
			return;
		}
		const int64_t target = p_indices.get(row[0], absent);
		r_edges.push_back(veltrin_native::Edge { target, cost });
		if (target == -1) {
			return;
		}
	}
}

} // namespace veltrin
