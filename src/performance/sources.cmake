list(APPEND VELTRIN_CORE_SOURCES
	${CMAKE_CURRENT_LIST_DIR}/budget_state.cpp
	${CMAKE_CURRENT_LIST_DIR}/performance_record_sample.cpp
	${CMAKE_CURRENT_LIST_DIR}/performance_report.cpp
	${CMAKE_CURRENT_LIST_DIR}/sample_statistics.cpp
	${CMAKE_CURRENT_LIST_DIR}/sorted_window.cpp
	${CMAKE_CURRENT_LIST_DIR}/window_bytes.cpp
)
