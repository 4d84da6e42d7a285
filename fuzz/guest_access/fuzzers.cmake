# The guest access fuzzers: a scripted path service over a small grid, and checks of the
# writes a query may make. The path world builds its trees and batches as the tests' resort
# does.
include(${PROJECT_SOURCE_DIR}/tests/support/resort_fixture.cmake)

veltrin_add_fuzz_library(veltrin_guest_access_fuzz
	SOURCES guest_path_world.cpp guest_access_checks.cpp
	LIBS veltrin_guest_fuzz_values veltrin_resort_fixture)

veltrin_add_fuzzer(nearest_guest_access_fuzzer ENGINE_DOUBLE
	SOURCES nearest_guest_access_fuzzer.cpp nearest_seeds.cpp
	LIBS veltrin_guest_access_fuzz)

veltrin_add_fuzzer(project_guest_candidates_fuzzer ENGINE_DOUBLE
	SOURCES project_guest_candidates_fuzzer.cpp guest_resort_world.cpp projection_seeds.cpp
	LIBS veltrin_guest_access_fuzz)
