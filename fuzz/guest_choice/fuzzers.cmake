# The guest choice fuzzer, and the value helpers every guest fuzzer shares.
include(${PROJECT_SOURCE_DIR}/tests/support/resort_fixture.cmake)

add_library(veltrin_guest_fuzz_values STATIC ${CMAKE_CURRENT_LIST_DIR}/guest_fuzz_values.cpp)
target_include_directories(veltrin_guest_fuzz_values PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_options(veltrin_guest_fuzz_values PRIVATE ${VELTRIN_WARNINGS})
target_compile_definitions(veltrin_guest_fuzz_values PRIVATE VELTRIN_PLUGIN_PATH="$<TARGET_FILE:veltrin_numeric_core>")
target_link_libraries(veltrin_guest_fuzz_values PUBLIC veltrin_fuzz_support engine_double)
add_dependencies(veltrin_guest_fuzz_values veltrin_numeric_core)

veltrin_add_fuzzer(guest_candidate_batch_fuzzer
	SOURCES
		${VELTRIN_FUZZ_SANITIZER_OPTIONS_SOURCE}
		${CMAKE_CURRENT_LIST_DIR}/guest_candidate_batch_fuzzer.cpp
		${CMAKE_CURRENT_LIST_DIR}/guest_batch_scenario.cpp
		${CMAKE_CURRENT_LIST_DIR}/guest_batch_seeds.cpp
	LIBS veltrin_guest_fuzz_values veltrin_guest_service_fixture
	CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/guest_candidate_batch_fuzzer)
