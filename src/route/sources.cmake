list(APPEND VELTRIN_CORE_SOURCES
	${CMAKE_CURRENT_LIST_DIR}/edge_cache.cpp
	${CMAKE_CURRENT_LIST_DIR}/edge_translation.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_tree_edge_rows.cpp
	${CMAKE_CURRENT_LIST_DIR}/search_entry.cpp
	${CMAKE_CURRENT_LIST_DIR}/search_result.cpp
	${CMAKE_CURRENT_LIST_DIR}/walk_edge_context.cpp
	${CMAKE_CURRENT_LIST_DIR}/walk_edge_names.cpp
	${CMAKE_CURRENT_LIST_DIR}/walk_edge_rows.cpp
	${CMAKE_CURRENT_LIST_DIR}/walking_provider.cpp
)
