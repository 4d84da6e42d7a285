# The guest access fuzzers: a scripted path service over a small grid, and checks of the
# writes a query may make.
add_library(veltrin_guest_access_fuzz STATIC
	${CMAKE_CURRENT_LIST_DIR}/guest_path_world.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_access_checks.cpp)
target_include_directories(veltrin_guest_access_fuzz PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_options(veltrin_guest_access_fuzz PRIVATE ${VELTRIN_WARNINGS})
target_link_libraries(veltrin_guest_access_fuzz PUBLIC veltrin_guest_fuzz_values)

veltrin_add_fuzzer(nearest_guest_access_fuzzer
	SOURCES
		${VELTRIN_FUZZ_SANITIZER_OPTIONS_SOURCE}
		${CMAKE_CURRENT_LIST_DIR}/nearest_guest_access_fuzzer.cpp
		${CMAKE_CURRENT_LIST_DIR}/nearest_seeds.cpp
	LIBS veltrin_guest_access_fuzz
	CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/nearest_guest_access_fuzzer)

veltrin_add_fuzzer(project_guest_candidates_fuzzer
	SOURCES
		${VELTRIN_FUZZ_SANITIZER_OPTIONS_SOURCE}
		${CMAKE_CURRENT_LIST_DIR}/project_guest_candidates_fuzzer.cpp
		${CMAKE_CURRENT_LIST_DIR}/guest_resort_world.cpp
		${CMAKE_CURRENT_LIST_DIR}/projection_seeds.cpp
	LIBS veltrin_guest_access_fuzz veltrin_guest_service_fixture
	CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/project_guest_candidates_fuzzer)
