#include "route_test_base.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/error_log.hpp>

#include <godot_cpp/variant/string.hpp>

using namespace godot;

namespace veltrin_test {

std::unique_ptr<engine_double::PluginHost> RouteTest::host;

void RouteTest::SetUpTestSuite() {
	host = std::make_unique<engine_double::PluginHost>();
	ASSERT_TRUE(host->load(VELTRIN_PLUGIN_PATH, "veltrin_numeric_core_init"));
	host->initialize(MODULE_INITIALIZATION_LEVEL_SCENE);
}

void RouteTest::TearDownTestSuite() {
	host->unload();
	host.reset();
}

void RouteTest::SetUp() {
	core = host->instantiate("VeltrinNumericCore");
	ASSERT_EQ(core.get_type(), Variant::OBJECT);
	engine_double::call_log_set_enabled(true);
	engine_double::call_log_clear();
	engine_double::error_log_clear();
}

void RouteTest::TearDown() {
	core = Variant();
	// The plug-in raises no engine error of its own.
	EXPECT_EQ(engine_double::error_log_messages(), std::vector<std::string>());
}

Variant RouteTest::call(const char *p_method, const std::vector<Variant> &p_arguments) const {
	return host->call(core, p_method, p_arguments);
}

Dictionary RouteTest::search(const Array &p_cells, const Dictionary &p_indices, int64_t p_start, const Dictionary &p_goals, const Callable &p_provider) const {
	return call("search", { p_cells, p_indices, p_start, p_goals, p_provider });
}

Dictionary RouteTest::search_cached(const Array &p_cells, const Dictionary &p_indices, int64_t p_start, const Dictionary &p_goals, const Callable &p_provider) const {
	return call("search_cached", { p_cells, p_indices, p_start, p_goals, p_provider });
}

Dictionary RouteTest::edge_rows(Object *p_path, const Vector3i &p_current, const Array &p_layers, const Array &p_access) const {
	return call("guest_tree_edge_rows", { p_path, p_current, p_layers, p_access });
}

std::vector<std::string> key_texts(const Dictionary &p_dictionary) {
	std::vector<std::string> texts;
	const Array keys = p_dictionary.keys();
	for (int64_t i = 0; i < keys.size(); i++) {
		texts.push_back(String(keys[i]).utf8().get_data());
	}
	return texts;
}

Dictionary goal_set(const std::vector<Variant> &p_cells) {
	Dictionary goals;
	for (const Variant &cell : p_cells) {
		goals[cell] = true;
	}
	return goals;
}

Array array_of(const std::vector<Variant> &p_values) {
	Array array;
	for (const Variant &value : p_values) {
		array.append(value);
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

void PrintTo(const PackedInt64Array &p_value, std::ostream *r_stream) {
	PrintTo(Variant(p_value), r_stream);
}

} // namespace godot
