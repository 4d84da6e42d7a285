# The kernel against the oracle's reference search, on decoded graphs.
veltrin_add_fuzzer(kernel_differential_fuzzer
	SOURCES
		${CMAKE_CURRENT_LIST_DIR}/kernel_differential_fuzzer.cpp
		${CMAKE_CURRENT_LIST_DIR}/graph_input.cpp
		${CMAKE_CURRENT_LIST_DIR}/kernel_seeds.cpp
	LIBS oracle_core veltrin_native
	CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/kernel_differential_fuzzer)
target_include_directories(kernel_differential_fuzzer PRIVATE ${CMAKE_CURRENT_LIST_DIR})
