#include "route/search_result.hpp"

#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/string_name.hpp>
#include <godot_cpp/variant/typed_array.hpp>
#include <godot_cpp/variant/variant.hpp>

#include <cstdint>
#include <cstring>
#include <vector>

namespace veltrin {

namespace {

bool fill_packed(const std::vector<int64_t> &p_values, godot::PackedInt64Array &r_packed) {
	if (r_packed.resize(static_cast<int64_t>(p_values.size())) != 0) {
		return false;
	}
	if (!p_values.empty()) {
		std::memcpy(r_packed.ptrw(), p_values.data(), p_values.size() * sizeof(int64_t));
	}
	return true;
}

bool fill_typed(const std::vector<int64_t> &p_values, godot::TypedArray<int64_t> &r_array) {
	const int64_t count = static_cast<int64_t>(p_values.size());
	if (r_array.resize(count) != 0) {
		return false;
	}
	// Every element is an int already, so the unchecked element write is safe here.
	for (int64_t i = 0; i < count; i++) {
		r_array[i] = p_values[static_cast<size_t>(i)];
	}
	return true;
}

} // namespace

godot::Dictionary search_result_dictionary(const veltrin_native::Result &p_result, const godot::Array &p_cells) {
	const godot::StringName status_key("status");
	godot::Dictionary answer;
	answer[status_key] = godot::String(p_result.status.c_str());
	if (p_result.status != veltrin_native::STATUS_USABLE) {
		return answer;
	}

	godot::PackedInt64Array cost_values;
	godot::PackedInt64Array parent_indices;
	godot::TypedArray<int64_t> discovered;
	godot::TypedArray<int64_t> parent_discovered;
	if (!fill_packed(p_result.cost_values, cost_values) || !fill_packed(p_result.parent_indices, parent_indices) ||
	        !fill_typed(p_result.discovered, discovered) || !fill_typed(p_result.parent_discovered, parent_discovered)) {
		answer[status_key] = godot::String(veltrin_native::STATUS_UNUSABLE);
		return answer;
	}

	godot::Dictionary settled;
	const int64_t cell_count = p_cells.size();
	for (const int64_t node : p_result.settled) {
		// The provider may have shrunk the shared cell list during the search.
		const godot::Variant cell = node < cell_count ? p_cells[node] : godot::Variant();
		settled[cell] = true;
	}

	answer[godot::StringName("cost_values")] = cost_values;
	answer[godot::StringName("parent_indices")] = parent_indices;
	answer[godot::StringName("discovered")] = discovered;
	answer[godot::StringName("parent_discovered")] = parent_discovered;
	answer[godot::StringName("settled")] = settled;
	return answer;
}

} // namespace veltrin
