# The performance sample recorder's fuzzer.

veltrin_add_fuzzer(performance_record_sample_fuzzer
	SOURCES ${CMAKE_CURRENT_LIST_DIR}/performance_record_sample_fuzzer.cpp ${VELTRIN_FUZZ_SANITIZER_OPTIONS_SOURCE}
	LIBS veltrin_fuzz_support engine_double
	CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/performance_record_sample_fuzzer)
target_compile_definitions(performance_record_sample_fuzzer PRIVATE VELTRIN_PLUGIN_PATH="$<TARGET_FILE:veltrin_numeric_core>")
add_dependencies(performance_record_sample_fuzzer veltrin_numeric_core)
