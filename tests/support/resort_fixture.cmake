# The small resort (runtime and its six services) shared by tests, benchmarks and the demo.
# Included by each user; the first one defines the library.
include(${CMAKE_CURRENT_LIST_DIR}/guest_service_fixture.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/path_service_fixture.cmake)
if(NOT TARGET veltrin_resort_fixture)
	add_library(veltrin_resort_fixture STATIC ${CMAKE_CURRENT_LIST_DIR}/resort_fixture.cpp)
	target_include_directories(veltrin_resort_fixture PUBLIC ${CMAKE_CURRENT_LIST_DIR})
	target_compile_options(veltrin_resort_fixture PRIVATE ${VELTRIN_WARNINGS})
	target_link_libraries(veltrin_resort_fixture PUBLIC veltrin_guest_service_fixture veltrin_path_service_fixture engine_double)
endif()
