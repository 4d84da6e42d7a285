# Helpers for the project's own targets.

# veltrin_add_test(<name> SOURCES <files...> [LIBS <targets...>])
# A GoogleTest executable in bin/, registered with CTest under its own name.
function(veltrin_add_test name)
	cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
	add_executable(${name} ${ARG_SOURCES})
	target_compile_options(${name} PRIVATE ${VELTRIN_WARNINGS})
	target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
	# Through the environment: GoogleTest before 1.11 (Debian 11's) shows its help and runs no
	# test when given a flag it does not know.
	add_test(NAME ${name} COMMAND ${name})
	set_tests_properties(${name} PROPERTIES ENVIRONMENT GTEST_BRIEF=1)
endfunction()

# veltrin_add_bench(<name> SOURCES <files...> [LIBS <targets...>])
# A Google Benchmark executable in bin/. Never run by CTest: timings do not gate CI.
function(veltrin_add_bench name)
	cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
	add_executable(${name} ${ARG_SOURCES})
	target_compile_options(${name} PRIVATE ${VELTRIN_WARNINGS})
	target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
	target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/bench/support)
endfunction()
