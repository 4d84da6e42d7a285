list(APPEND VELTRIN_CORE_SOURCES
	${CMAKE_CURRENT_LIST_DIR}/access_keys.cpp
	${CMAKE_CURRENT_LIST_DIR}/projection_keys.cpp
	${CMAKE_CURRENT_LIST_DIR}/projection_names.cpp
	${CMAKE_CURRENT_LIST_DIR}/nearest_guest_access.cpp
	${CMAKE_CURRENT_LIST_DIR}/project_guest_candidates.cpp
	${CMAKE_CURRENT_LIST_DIR}/candidate_rows.cpp
	${CMAKE_CURRENT_LIST_DIR}/facility_access_cells.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_cells.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_route_copy.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_route_resolve.cpp
	${CMAKE_CURRENT_LIST_DIR}/input_names.cpp
	${CMAKE_CURRENT_LIST_DIR}/path_cache_key.cpp
	${CMAKE_CURRENT_LIST_DIR}/path_minutes.cpp
	${CMAKE_CURRENT_LIST_DIR}/projection_preflight.cpp
	${CMAKE_CURRENT_LIST_DIR}/query_tree_cost.cpp
	${CMAKE_CURRENT_LIST_DIR}/tag_relief.cpp
)
