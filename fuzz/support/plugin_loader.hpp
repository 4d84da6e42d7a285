#pragma once

// The plug-in as every fuzzer on the engine double calls it.

#include <engine_double/host.hpp>

#include <godot_cpp/variant/variant.hpp>

namespace veltrin_fuzz {

// Loads the plug-in library at p_path into r_host, initialises it at the scene level and
// answers a new VeltrinNumericCore. A fuzzer cannot run without it, so any failure aborts
// with a message.
godot::Variant load_numeric_core(engine_double::PluginHost &r_host, const char *p_path);

} // namespace veltrin_fuzz
