# GoogleTest: the system's for native builds; for a cross build, Debian's googletest
# sources (/usr/src/googletest) compiled by the cross toolchain.

set(VELTRIN_GOOGLETEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources for cross builds")

if(NOT CMAKE_CROSSCOMPILING)
	# GoogleTest's own package names GTest::gmock; CMake's module does only from 3.23 on.
	find_package(GTest CONFIG QUIET)
	if(NOT GTest_FOUND)
		find_package(GTest REQUIRED)
	endif()
	return()
endif()

if(NOT EXISTS ${VELTRIN_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
	message(FATAL_ERROR "A cross build needs GoogleTest's sources in ${VELTRIN_GOOGLETEST_SOURCE_DIR} (Debian: googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${VELTRIN_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest's own build names some of them GTest::... already.
foreach(library gtest gtest_main gmock)
	if(NOT TARGET GTest::${library})
		add_library(GTest::${library} ALIAS ${library})
	endif()
endforeach()
