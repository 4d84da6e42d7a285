list(APPEND VELTRIN_CORE_SOURCES
	${CMAKE_CURRENT_LIST_DIR}/guest_batch_context.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_batch_names.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_candidate_batch.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_candidate_facts.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_candidate_supported.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_evaluate.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_frame.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_name_lists.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_need_map.cpp
	${CMAKE_CURRENT_LIST_DIR}/guest_rejection.cpp
)
