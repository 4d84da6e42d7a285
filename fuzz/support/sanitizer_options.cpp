// ASan defaults for the engine-double fuzzers, linked into each fuzzer that lists
// VELTRIN_FUZZ_SANITIZER_OPTIONS_SOURCE (ASAN_OPTIONS still overrides them).
// The default 256 MB quarantine keeps every freed Variant buffer of thousands of runs
// resident: it made the process grow by hundreds of MB and spend a sixth of its time in page
// faults. A run frees a few MB at most, so 32 MB still holds every block freed during the
// run (and several runs before it) poisoned, which is what catches a use after free.
// No allocation and free stacks are recorded: doing so took a fifth of a run's time. Replay
// a finding with ASAN_OPTIONS=malloc_context_size=30 to see where a block was made and freed.

extern "C" const char *__asan_default_options() {
	return "quarantine_size_mb=32:malloc_context_size=0";
}
