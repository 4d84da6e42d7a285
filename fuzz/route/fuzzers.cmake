# Route fuzzers: the search entry points with their edge cache, and the walk edge rows.

include(${PROJECT_SOURCE_DIR}/tests/support/path_service_fixture.cmake)

veltrin_add_fuzz_library(veltrin_route_fuzz_world PLUGIN
	SOURCES route_fuzz_world.cpp route_answer_checks.cpp
	LIBS veltrin_fuzz_support veltrin_path_service_fixture engine_double)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/route_answer_checks.cpp PROPERTIES COMPILE_OPTIONS "${VELTRIN_FUZZ_NO_COVERAGE}")

veltrin_add_fuzzer(search_fuzzer ENGINE_DOUBLE SOURCES search_fuzzer.cpp LIBS veltrin_route_fuzz_world)
veltrin_add_fuzzer(guest_tree_edge_rows_fuzzer ENGINE_DOUBLE SOURCES guest_tree_edge_rows_fuzzer.cpp LIBS veltrin_route_fuzz_world)

# Writes the route and performance seed corpora from the tests' scenarios:
#     seed_writer <source>/fuzz
add_executable(seed_writer ${CMAKE_CURRENT_LIST_DIR}/seed_writer.cpp)
target_compile_options(seed_writer PRIVATE ${VELTRIN_WARNINGS})
