// Platform calls behind the plug-in host's loading.

#include "shared_library.hpp"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace engine_double {
namespace internal {

#ifdef _WIN32

void *shared_library_open(const std::string &p_path, std::string &r_error) {
	HMODULE module = LoadLibraryA(p_path.c_str());
	if (module == nullptr) {
		r_error = "error " + std::to_string(GetLastError());
	}
	return reinterpret_cast<void *>(module);
}

void *shared_library_symbol(void *p_handle, const std::string &p_name) {
	return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(p_handle), p_name.c_str()));
}

// A MinGW library carries its own thread runtime, whose thread-local cleanup outlives an
// unload and hangs the process at exit once another thread has run the library's code. The
// engine never unloads a non-reloadable extension before it quits, so the double keeps the
// library mapped too; loading it again finds the same module.
void shared_library_close(void *p_handle) {
	static_cast<void>(p_handle);
}

#else

void *shared_library_open(const std::string &p_path, std::string &r_error) {
	void *handle = dlopen(p_path.c_str(), RTLD_NOW | RTLD_LOCAL);
	if (handle == nullptr) {
		const char *reason = dlerror();
		r_error = reason != nullptr ? reason : "unknown";
	}
	return handle;
}

void *shared_library_symbol(void *p_handle, const std::string &p_name) {
	return dlsym(p_handle, p_name.c_str());
}

void shared_library_close(void *p_handle) {
	dlclose(p_handle);
}

#endif

} // namespace internal
} // namespace engine_double
