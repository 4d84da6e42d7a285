#pragma once

// The built plug-in, loaded through the engine double's host as the engine loads it (the
// library, its entry by name, the SCENE level), for suites that call VeltrinNumericCore's
// bound methods by name as the game's scripts do.
//
//     static void SetUpTestSuite() { host = open_plugin(); ASSERT_NE(host, nullptr); }
//     static void TearDownTestSuite() { close_plugin(); host = nullptr; }

#include <engine_double/host.hpp>

#include <godot_cpp/variant/array.hpp>
#include <godot_cpp/variant/dictionary.hpp>
#include <godot_cpp/variant/packed_int64_array.hpp>
#include <godot_cpp/variant/string.hpp>
#include <godot_cpp/variant/variant.hpp>
#include <godot_cpp/variant/vector3i.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace veltrin_test {

// Loads the plug-in once until close_plugin; null when it cannot be loaded.
engine_double::PluginHost *open_plugin();
void close_plugin();

// Clears the call log (and turns it on) and the engine error log before a test.
void start_logs();

godot::Array array_of(const std::vector<godot::Variant> &p_values);
std::string text_of(const godot::Variant &p_value);
// The keys of a dictionary as text, in order.
std::vector<std::string> key_texts(const godot::Dictionary &p_dictionary);

} // namespace veltrin_test

// Readable failure messages: engine values print as the engine stringifies them.
namespace godot {
void PrintTo(const Variant &p_value, std::ostream *r_stream);
void PrintTo(const Array &p_value, std::ostream *r_stream);
void PrintTo(const Dictionary &p_value, std::ostream *r_stream);
void PrintTo(const String &p_value, std::ostream *r_stream);
void PrintTo(const PackedInt64Array &p_value, std::ostream *r_stream);
void PrintTo(const Vector3i &p_value, std::ostream *r_stream);
} // namespace godot
