# The value types of the engine double: Variant, strings, containers, packed arrays,
# marshalling and the error log.
list(APPEND ENGINE_DOUBLE_SOURCES
	${CMAKE_CURRENT_LIST_DIR}/array.cpp
	${CMAKE_CURRENT_LIST_DIR}/container_type.cpp
	${CMAKE_CURRENT_LIST_DIR}/crossing.cpp
	${CMAKE_CURRENT_LIST_DIR}/dictionary.cpp
	${CMAKE_CURRENT_LIST_DIR}/variant_map.cpp
	${CMAKE_CURRENT_LIST_DIR}/error_log.cpp
	${CMAKE_CURRENT_LIST_DIR}/marshalls.cpp
	${CMAKE_CURRENT_LIST_DIR}/packed_arrays.cpp
	${CMAKE_CURRENT_LIST_DIR}/string.cpp
	${CMAKE_CURRENT_LIST_DIR}/string_format.cpp
	${CMAKE_CURRENT_LIST_DIR}/string_name.cpp
	${CMAKE_CURRENT_LIST_DIR}/string_numbers.cpp
	${CMAKE_CURRENT_LIST_DIR}/string_search.cpp
	${CMAKE_CURRENT_LIST_DIR}/utility_functions.cpp
	${CMAKE_CURRENT_LIST_DIR}/variant.cpp
	${CMAKE_CURRENT_LIST_DIR}/variant_compare.cpp
	${CMAKE_CURRENT_LIST_DIR}/variant_convert.cpp
	${CMAKE_CURRENT_LIST_DIR}/variant_keyed.cpp
	${CMAKE_CURRENT_LIST_DIR}/variant_operators.cpp
	${CMAKE_CURRENT_LIST_DIR}/variant_stringify.cpp
	${CMAKE_CURRENT_LIST_DIR}/variant_types.cpp
	${CMAKE_CURRENT_LIST_DIR}/vectors.cpp
)

# Calls between the library's own functions need not go through the PLT.
set_source_files_properties(${ENGINE_DOUBLE_SOURCES} PROPERTIES COMPILE_OPTIONS -fno-semantic-interposition)

# Stand-ins for the object layer until it provides its own definitions.
if(NOT EXISTS ${CMAKE_CURRENT_LIST_DIR}/../objects/sources.cmake)
	include(${CMAKE_CURRENT_LIST_DIR}/seam_defaults.cmake)
endif()
