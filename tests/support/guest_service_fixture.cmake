# The guest service test double shared by tests, benchmarks and the demo. Included by each
# user; the first one defines the library.
if(NOT TARGET veltrin_guest_service_fixture)
	add_library(veltrin_guest_service_fixture STATIC ${CMAKE_CURRENT_LIST_DIR}/guest_service_fixture.cpp)
	target_include_directories(veltrin_guest_service_fixture PUBLIC ${CMAKE_CURRENT_LIST_DIR})
	target_compile_options(veltrin_guest_service_fixture PRIVATE ${VELTRIN_WARNINGS})
	target_link_libraries(veltrin_guest_service_fixture PUBLIC engine_double)
endif()
