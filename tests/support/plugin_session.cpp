#include "plugin_session.hpp"

#include <engine_double/call_log.hpp>
#include <engine_double/error_log.hpp>

#include <memory>

using namespace godot;

namespace veltrin_test {

namespace {
std::unique_ptr<engine_double::PluginHost> loaded_host;
} // namespace

engine_double::PluginHost *open_plugin() {
	if (!loaded_host) {
		auto host = std::make_unique<engine_double::PluginHost>();
		if (!host->load(VELTRIN_PLUGIN_PATH, "veltrin_numeric_core_init")) {
			return nullptr;
		}
		host->initialize(MODULE_INITIALIZATION_LEVEL_SCENE);
		loaded_host = std::move(host);
	}
	return loaded_host.get();
}

void close_plugin() {
	if (loaded_host) {
		loaded_host->unload();
		loaded_host.reset();
	}
}

void start_logs() {
	engine_double::call_log_set_enabled(true);
	engine_double::call_log_clear();
	engine_double::error_log_clear();
}

Array array_of(const std::vector<Variant> &p_values) {
	Array array;
	for (const Variant &value : p_values) {
		array.append(value);
	}
	return array;
}

std::string text_of(const Variant &p_value) {
	return String(p_value).utf8().get_data();
}

std::vector<std::string> key_texts(const Dictionary &p_dictionary) {
	std::vector<std::string> texts;
	const Array keys = p_dictionary.keys();
	for (int64_t i = 0; i < keys.size(); i++) {
		texts.push_back(text_of(keys[i]));
	}
	return texts;
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

void PrintTo(const Vector3i &p_value, std::ostream *r_stream) {
	PrintTo(Variant(p_value), r_stream);
}

} // namespace godot
