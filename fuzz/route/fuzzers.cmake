# Route fuzzers: the search entry points with their edge cache, and the walk edge rows.

include(${PROJECT_SOURCE_DIR}/tests/support/path_service_fixture.cmake)

add_library(veltrin_route_fuzz_world STATIC
	${CMAKE_CURRENT_LIST_DIR}/route_fuzz_world.cpp
	${CMAKE_CURRENT_LIST_DIR}/route_answer_checks.cpp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/route_answer_checks.cpp PROPERTIES COMPILE_OPTIONS -fno-sanitize=fuzzer-no-link)
target_include_directories(veltrin_route_fuzz_world PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_options(veltrin_route_fuzz_world PRIVATE ${VELTRIN_WARNINGS})
target_compile_definitions(veltrin_route_fuzz_world PRIVATE VELTRIN_PLUGIN_PATH="$<TARGET_FILE:veltrin_numeric_core>")
target_link_libraries(veltrin_route_fuzz_world PUBLIC veltrin_fuzz_support veltrin_path_service_fixture engine_double)
add_dependencies(veltrin_route_fuzz_world veltrin_numeric_core)

veltrin_add_fuzzer(search_fuzzer
	SOURCES ${CMAKE_CURRENT_LIST_DIR}/search_fuzzer.cpp ${VELTRIN_FUZZ_SANITIZER_OPTIONS_SOURCE}
	LIBS veltrin_route_fuzz_world
	CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/search_fuzzer)
veltrin_add_fuzzer(guest_tree_edge_rows_fuzzer
	SOURCES ${CMAKE_CURRENT_LIST_DIR}/guest_tree_edge_rows_fuzzer.cpp ${VELTRIN_FUZZ_SANITIZER_OPTIONS_SOURCE}
	LIBS veltrin_route_fuzz_world
	CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/guest_tree_edge_rows_fuzzer)

# Writes the route and performance seed corpora from the tests' scenarios:
#     seed_writer <source>/fuzz
add_executable(seed_writer ${CMAKE_CURRENT_LIST_DIR}/seed_writer.cpp)
target_compile_options(seed_writer PRIVATE ${VELTRIN_WARNINGS})
