list(APPEND VELTRIN_CORE_SOURCES
	${CMAKE_CURRENT_LIST_DIR}/answers.cpp
	${CMAKE_CURRENT_LIST_DIR}/builtin.cpp
	${CMAKE_CURRENT_LIST_DIR}/diagnostics.cpp
	${CMAKE_CURRENT_LIST_DIR}/saturating_math.cpp
)
