#include "access_test_base.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/error_log.hpp>

using namespace godot;

namespace veltrin_test {

void AccessTest::SetUp() {
	CoreTest::SetUp();
	resort = std::make_unique<ResortFixture>();
	start_logs();
}

void AccessTest::TearDown() {
	CoreTest::TearDown();
	resort.reset();
}

Dictionary AccessTest::nearest(const Variant &p_path, const Vector3i &p_start, const Array &p_goals, const Vector3i &p_fallback, const Array &p_layers, const Array &p_access, const Callable &p_ticks) const {
	return call("nearest_guest_access", { p_path, p_start, p_goals, p_fallback, p_layers, p_access, p_ticks });
}

Dictionary AccessTest::nearest(const Vector3i &p_start, const Array &p_goals, const Vector3i &p_fallback) const {
	return nearest(resort->path(), p_start, p_goals, p_fallback, ResortFixture::layers(), ResortFixture::no_access(), resort->ticks());
}

Dictionary AccessTest::project(const Variant &p_runtime, const StringName &p_guest_id, const Callable &p_ticks, int64_t p_orthogonal_cost) const {
	return call("project_guest_candidates", { p_runtime, p_guest_id, FACILITY_OPEN, FACILITY_DEGRADED, int64_t(10), int64_t(20), p_orthogonal_cost, p_ticks });
}

Dictionary AccessTest::project(const StringName &p_guest_id) const {
	return project(resort->runtime(), p_guest_id, resort->ticks());
}

std::vector<std::string> AccessTest::take_errors() const {
	std::vector<std::string> errors = engine_double::error_log_messages();
	engine_double::error_log_clear();
	return errors;
}

std::vector<std::string> log_names(const Object *p_object) {
	static const char *const KINDS[] = { "get", "set", "call", "emit" };
	std::vector<std::string> names;
	for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries_for(p_object)) {
		names.push_back(std::string(KINDS[int(entry.kind)]) + " " + String(entry.name).utf8().get_data());
	}
	return names;
}

bool changed_anything(const Object *p_object) {
	for (const engine_double::CallLogEntry &entry : engine_double::call_log_entries_for(p_object)) {
		if (entry.kind != engine_double::CallLogKind::GET) {
			return true;
		}
	}
	return false;
}

Array cells(std::initializer_list<Vector3i> p_cells) {
	Array array;
	for (const Vector3i &cell : p_cells) {
		array.append(cell);
	}
	return array;
}

} // namespace veltrin_test
