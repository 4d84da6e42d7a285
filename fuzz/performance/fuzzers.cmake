# The performance sample recorder's fuzzer.

veltrin_add_fuzzer(performance_record_sample_fuzzer ENGINE_DOUBLE PLUGIN
	SOURCES performance_record_sample_fuzzer.cpp
	LIBS veltrin_fuzz_support engine_double)
