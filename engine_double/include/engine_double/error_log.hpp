#pragma once

// Every error the engine would print ends up here, text only (no "ERROR: " prefix, no
// "at:" line), so tests can read what a plug-in provoked. Thread-safe.

#include <godot_cpp/core/defs.hpp>

#include <cstddef>
#include <string>
#include <vector>

namespace engine_double {

ENGINE_DOUBLE_API void error_log_record(const std::string &p_message);
ENGINE_DOUBLE_API std::vector<std::string> error_log_messages();
ENGINE_DOUBLE_API void error_log_clear();
ENGINE_DOUBLE_API size_t error_log_size();

} // namespace engine_double
