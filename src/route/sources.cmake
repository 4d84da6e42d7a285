list(APPEND VELTRIN_CORE_SOURCES
	${CMAKE_CURRENT_LIST_DIR}/search_entry.cpp
	${CMAKE_CURRENT_LIST_DIR}/walk_edge_rows.cpp
)
