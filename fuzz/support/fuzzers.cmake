# The fuzzers' shared support: input reader, value decoder, state snapshots, checks and the
# plug-in loader.

veltrin_add_fuzz_library(veltrin_fuzz_support
	SOURCES fuzz_input.cpp hostile_scripts.cpp plugin_loader.cpp state_snapshot.cpp variant_decoder.cpp
	LIBS engine_double veltrin_core)
# The snapshot and the hostile scripts are the harness's own bookkeeping: its branches are no coverage of the plug-in
# and would only add features libFuzzer has to track on every run.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/state_snapshot.cpp ${CMAKE_CURRENT_LIST_DIR}/hostile_scripts.cpp
	PROPERTIES COMPILE_OPTIONS "${VELTRIN_FUZZ_NO_COVERAGE}")

# The ASan defaults veltrin_add_fuzzer(... ENGINE_DOUBLE) links into a fuzzer.
set(VELTRIN_FUZZ_SANITIZER_OPTIONS_SOURCE ${CMAKE_CURRENT_LIST_DIR}/sanitizer_options.cpp)

# Checks the support itself (bounded reads, exact and identity-aware snapshots).
add_executable(fuzz_support_self_check ${CMAKE_CURRENT_LIST_DIR}/support_self_check.cpp)
target_compile_options(fuzz_support_self_check PRIVATE ${VELTRIN_WARNINGS})
target_link_libraries(fuzz_support_self_check PRIVATE veltrin_fuzz_support)
add_test(NAME fuzz_support_self_check COMMAND fuzz_support_self_check)
