# The guest choice fuzzer, and the value helpers every guest fuzzer shares.
include(${PROJECT_SOURCE_DIR}/tests/support/resort_fixture.cmake)

veltrin_add_fuzz_library(veltrin_guest_fuzz_values PLUGIN
	SOURCES guest_fuzz_values.cpp
	LIBS veltrin_fuzz_support engine_double)

veltrin_add_fuzzer(guest_candidate_batch_fuzzer ENGINE_DOUBLE
	SOURCES guest_candidate_batch_fuzzer.cpp guest_batch_scenario.cpp guest_batch_seeds.cpp
	LIBS veltrin_guest_fuzz_values veltrin_guest_service_fixture)
