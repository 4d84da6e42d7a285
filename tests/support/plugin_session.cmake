# Loading the built plug-in through the double's host, shared by the suites that call its
# bound methods by name. Included by each user; the first one defines the library.
if(NOT TARGET veltrin_plugin_session)
	add_library(veltrin_plugin_session STATIC ${CMAKE_CURRENT_LIST_DIR}/plugin_session.cpp)
	target_include_directories(veltrin_plugin_session PUBLIC ${CMAKE_CURRENT_LIST_DIR})
	target_compile_options(veltrin_plugin_session PRIVATE ${VELTRIN_WARNINGS})
	target_compile_definitions(veltrin_plugin_session PRIVATE VELTRIN_PLUGIN_PATH="$<TARGET_FILE:veltrin_numeric_core>")
	target_link_libraries(veltrin_plugin_session PUBLIC engine_double)
	add_dependencies(veltrin_plugin_session veltrin_numeric_core)
endif()

# The GoogleTest base of those suites.
if(NOT TARGET veltrin_core_test AND TARGET GTest::gtest)
	add_library(veltrin_core_test STATIC ${CMAKE_CURRENT_LIST_DIR}/core_test.cpp)
	target_compile_options(veltrin_core_test PRIVATE ${VELTRIN_WARNINGS})
	target_link_libraries(veltrin_core_test PUBLIC veltrin_plugin_session GTest::gtest)
endif()
