# Build options of the numeric core.

set(VELTRIN_CONFIGURATION "full" CACHE STRING "Plug-in configuration: full, no_diagnostics or reduced")
set_property(CACHE VELTRIN_CONFIGURATION PROPERTY STRINGS full no_diagnostics reduced)
if(NOT VELTRIN_CONFIGURATION MATCHES "^(full|no_diagnostics|reduced)$")
	message(FATAL_ERROR "VELTRIN_CONFIGURATION must be full, no_diagnostics or reduced, not '${VELTRIN_CONFIGURATION}'")
endif()

set(VELTRIN_GODOT_CPP_DIR "" CACHE PATH "Build the plug-in against this godot-cpp checkout instead of the engine double")
option(VELTRIN_BUILD_TESTS "Build the tests" ON)
option(VELTRIN_BUILD_BENCH "Build the benchmarks" ON)
# The double's own tests do not depend on the plug-in configuration.
option(VELTRIN_BUILD_ENGINE_DOUBLE_TESTS "Build the engine double's own tests" ON)
option(VELTRIN_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VELTRIN_WERROR "Treat warnings as errors" OFF)
# The standard C++ versions of the compiler extensions (src/common/compiler_builtins.hpp),
# which an MSVC build takes: this option makes GCC and Clang take them too.
option(VELTRIN_PORTABLE_FALLBACK "Use the standard C++ versions of compiler extensions" OFF)
if(VELTRIN_PORTABLE_FALLBACK)
	add_compile_definitions(VELTRIN_PORTABLE_FALLBACK=1)
endif()
# libFuzzer targets under fuzz/ (clang only); everything is then built for coverage-guided
# fuzzing with AddressSanitizer and UndefinedBehaviorSanitizer.
option(VELTRIN_BUILD_FUZZERS "Build the fuzzers (needs clang)" OFF)
# Cross builds (cmake/toolchains/) run their tests under an emulator: they build the engine
# double, the plug-in, the oracle and the suites that load the plug-in, nothing else.
option(VELTRIN_PLUGIN_SUITES_ONLY "Build only the plug-in, the oracle and the suites that load the plug-in" ${CMAKE_CROSSCOMPILING})
if(VELTRIN_PLUGIN_SUITES_ONLY)
	set(VELTRIN_BUILD_BENCH OFF)
	set(VELTRIN_BUILD_ENGINE_DOUBLE_TESTS OFF)
endif()

# Godot's binary naming: template_release for release builds, template_debug otherwise.
if(CMAKE_BUILD_TYPE STREQUAL "Release" OR CMAKE_BUILD_TYPE STREQUAL "MinSizeRel")
	set(VELTRIN_GODOT_TARGET template_release)
else()
	set(VELTRIN_GODOT_TARGET template_debug)
endif()
# Platform and architecture as Godot names them in a library's file name and feature tags.
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
	set(VELTRIN_GODOT_PLATFORM windows)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
	set(VELTRIN_GODOT_PLATFORM linux)
else()
	message(FATAL_ERROR "The plug-in is built for Linux and Windows only, not ${CMAKE_SYSTEM_NAME}")
endif()
string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" VELTRIN_PROCESSOR)
if(VELTRIN_PROCESSOR MATCHES "^(x86_64|amd64)$")
	set(VELTRIN_GODOT_ARCH x86_64)
elseif(VELTRIN_PROCESSOR MATCHES "^(aarch64|arm64)$")
	set(VELTRIN_GODOT_ARCH arm64)
else()
	message(FATAL_ERROR "The plug-in is built for x86_64 and arm64 only, not ${CMAKE_SYSTEM_PROCESSOR}")
endif()

# Compile definitions selecting the configuration's features.
set(VELTRIN_CONFIGURATION_DEFINITIONS "")
if(VELTRIN_CONFIGURATION STREQUAL "full")
	list(APPEND VELTRIN_CONFIGURATION_DEFINITIONS VELTRIN_DIAGNOSTICS=1)
endif()
if(NOT VELTRIN_CONFIGURATION STREQUAL "reduced")
	list(APPEND VELTRIN_CONFIGURATION_DEFINITIONS VELTRIN_NATIVE_INPUT_ORDER=1 VELTRIN_NATIVE_ROUTE_COPY=1)
endif()

if(MSVC)
	set(VELTRIN_WARNINGS /W4 /wd4100)
	if(VELTRIN_WERROR)
		list(APPEND VELTRIN_WARNINGS /WX)
	endif()
else()
	set(VELTRIN_WARNINGS -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wno-unused-parameter)
	if(VELTRIN_WERROR)
		list(APPEND VELTRIN_WARNINGS -Werror)
	endif()
endif()

if(VELTRIN_SANITIZE)
	add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
	add_link_options(-fsanitize=address,undefined)
endif()

if(VELTRIN_BUILD_FUZZERS)
	if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
		message(FATAL_ERROR "VELTRIN_BUILD_FUZZERS needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
	endif()
	add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
		-fsanitize-coverage-ignorelist=${CMAKE_CURRENT_LIST_DIR}/fuzz_coverage.ignorelist)
	add_link_options(-fsanitize=address,undefined)
endif()
