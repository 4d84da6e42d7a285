list(APPEND VELTRIN_CORE_SOURCES
	${CMAKE_CURRENT_LIST_DIR}/nearest_guest_access.cpp
	${CMAKE_CURRENT_LIST_DIR}/project_guest_candidates.cpp
)
