# Builds against a real godot-cpp checkout (godot-cpp 10 or later, extension API 4.7).
# Used only for the shipping plug-in: tests, benchmarks and the demo run on the engine double.

if(NOT EXISTS ${VELTRIN_GODOT_CPP_DIR}/CMakeLists.txt)
	message(FATAL_ERROR "VELTRIN_GODOT_CPP_DIR=${VELTRIN_GODOT_CPP_DIR} is not a godot-cpp checkout")
endif()

# godot-cpp's target_doc_sources runs ${Python3_EXECUTABLE} as seen from the directory that
# calls it, and godot-cpp finds Python only inside its own subdirectory. Found here, at the
# top, every directory of ours sees it; without it the class reference's rule runs nothing
# and the build stops on a missing gen/doc_source.cpp.
find_package(Python3 3.4 COMPONENTS Interpreter)
if(NOT Python3_Interpreter_FOUND)
	message(FATAL_ERROR "Building against godot-cpp needs Python 3.4 or later: godot-cpp generates "
		"its bindings and the editor's class reference with it. Install python3 or point "
		"-DPython3_EXECUTABLE=... at one.")
endif()

# The build type decides the target (and the library's name), also when a build directory
# is reconfigured from one type to another.
set(GODOTCPP_TARGET ${VELTRIN_GODOT_TARGET} CACHE STRING "godot-cpp build target" FORCE)
set(GODOTCPP_API_VERSION "4.7" CACHE STRING "Godot extension API the plug-in is built for")
add_subdirectory(${VELTRIN_GODOT_CPP_DIR} ${CMAKE_BINARY_DIR}/godot-cpp EXCLUDE_FROM_ALL)

if(NOT TARGET godot::cpp)
	message(FATAL_ERROR "${VELTRIN_GODOT_CPP_DIR} defines no godot::cpp target: godot-cpp 10 or later is needed")
endif()
set(VELTRIN_GODOT_CPP_TARGET godot::cpp)
