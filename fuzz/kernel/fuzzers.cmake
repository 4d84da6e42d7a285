# The kernel against the oracle's reference search, on decoded graphs.
veltrin_add_fuzzer(kernel_differential_fuzzer
	SOURCES kernel_differential_fuzzer.cpp graph_input.cpp kernel_seeds.cpp
	LIBS oracle_core veltrin_native)
target_include_directories(kernel_differential_fuzzer PRIVATE ${CMAKE_CURRENT_LIST_DIR})
