#pragma once

// Opening a plug-in library and finding its entry, as the engine does on each platform
// (dlopen/dlsym, or LoadLibrary/GetProcAddress on Windows).

#include <string>

namespace engine_double {
namespace internal {

// The library's handle, or nullptr with the system's reason in r_error.
void *shared_library_open(const std::string &p_path, std::string &r_error);
// The address of an exported symbol, or nullptr.
void *shared_library_symbol(void *p_handle, const std::string &p_name);
void shared_library_close(void *p_handle);

} // namespace internal
} // namespace engine_double
