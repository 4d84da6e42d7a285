#include "access_test_base.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/error_log.hpp>

using namespace godot;

namespace veltrin_test {

std::unique_ptr<engine_double::PluginHost> AccessTest::host;

void AccessTest::SetUpTestSuite() {
	host = std::make_unique<engine_double::PluginHost>();
	ASSERT_TRUE(host->load(VELTRIN_PLUGIN_PATH, "veltrin_numeric_core_init"));
	host->initialize(MODULE_INITIALIZATION_LEVEL_SCENE);
}

void AccessTest::TearDownTestSuite() {
	host->unload();
	host.reset();
}

void AccessTest::SetUp() {
	core = host->instantiate("VeltrinNumericCore");
	ASSERT_EQ(core.get_type(), Variant::OBJECT);
	resort = std::make_unique<ResortFixture>();
	engine_double::call_log_set_enabled(true);
	engine_double::call_log_clear();
	engine_double::error_log_clear();
}

void AccessTest::TearDown() {
	// The plug-in provokes no engine error unless a test took them.
	EXPECT_EQ(engine_double::error_log_messages(), std::vector<std::string>());
	resort.reset();
	core = Variant();
}

Variant AccessTest::call(const char *p_method, const std::vector<Variant> &p_arguments) const {
	return host->call(core, p_method, p_arguments);
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

std::vector<std::string> key_texts(const Dictionary &p_dictionary) {
	std::vector<std::string> texts;
	const Array keys = p_dictionary.keys();
	for (int64_t i = 0; i < keys.size(); i++) {
		texts.push_back(String(keys[i]).utf8().get_data());
	}
	return texts;
}

Array cells(std::initializer_list<Vector3i> p_cells) {
	Array array;
	for (const Vector3i &cell : p_cells) {
		array.append(cell);
	}
	return array;
}

} // namespace veltrin_test

namespace godot {

void PrintTo(const Variant &p_value, std::ostream *r_stream) {
	*r_stream << p_value.stringify().utf8().get_data();
}

void PrintTo(const Array &p_value, std::ostream *r_stream) {
	PrintTo(Variant(p_value), r_stream);
}

void PrintTo(const Dictionary &p_value, std::ostream *r_stream) {
	PrintTo(Variant(p_value), r_stream);
}

void PrintTo(const String &p_value, std::ostream *r_stream) {
	*r_stream << '"' << p_value.utf8().get_data() << '"';
}

void PrintTo(const Vector3i &p_value, std::ostream *r_stream) {
	PrintTo(Variant(p_value), r_stream);
}

} // namespace godot
