#include "route_test_base.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/error_log.hpp>

#include <godot_cpp/variant/string.hpp>

using namespace godot;

namespace veltrin_test {

Dictionary RouteTest::search(const Array &p_cells, const Dictionary &p_indices, int64_t p_start, const Dictionary &p_goals, const Callable &p_provider) const {
	return call("search", { p_cells, p_indices, p_start, p_goals, p_provider });
}

Dictionary RouteTest::search_cached(const Array &p_cells, const Dictionary &p_indices, int64_t p_start, const Dictionary &p_goals, const Callable &p_provider) const {
	return call("search_cached", { p_cells, p_indices, p_start, p_goals, p_provider });
}

Dictionary RouteTest::edge_rows(Object *p_path, const Vector3i &p_current, const Array &p_layers, const Array &p_access) const {
	return call("guest_tree_edge_rows", { p_path, p_current, p_layers, p_access });
}

Dictionary goal_set(const std::vector<Variant> &p_cells) {
	Dictionary goals;
	for (const Variant &cell : p_cells) {
		goals[cell] = true;
	}
	return goals;
}

} // namespace veltrin_test
