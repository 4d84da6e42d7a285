# Builds against a real godot-cpp checkout (godot-cpp 10 or later, extension API 4.7).
# Used only for the shipping plug-in: tests, benchmarks and the demo run on the engine double.

if(NOT EXISTS ${VELTRIN_GODOT_CPP_DIR}/CMakeLists.txt)
	message(FATAL_ERROR "VELTRIN_GODOT_CPP_DIR=${VELTRIN_GODOT_CPP_DIR} is not a godot-cpp checkout")
endif()

set(GODOTCPP_API_VERSION "4.7" CACHE STRING "Godot extension API the plug-in is built for")
set(GODOTCPP_TARGET ${VELTRIN_GODOT_TARGET} CACHE STRING "godot-cpp build target")
add_subdirectory(${VELTRIN_GODOT_CPP_DIR} ${CMAKE_BINARY_DIR}/godot-cpp EXCLUDE_FROM_ALL)

if(TARGET godot-cpp::${VELTRIN_GODOT_TARGET})
	set(VELTRIN_GODOT_CPP_TARGET godot-cpp::${VELTRIN_GODOT_TARGET})
else()
	set(VELTRIN_GODOT_CPP_TARGET godot::cpp)
endif()
