list(APPEND VELTRIN_CORE_SOURCES
	${CMAKE_CURRENT_LIST_DIR}/register_types.cpp
	${CMAKE_CURRENT_LIST_DIR}/veltrin_numeric_core.cpp
)
