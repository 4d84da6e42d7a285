# The object layer of the engine double: objects, scripts, callables, the class registry
# and the plug-in host.
list(APPEND ENGINE_DOUBLE_SOURCES
	${CMAKE_CURRENT_LIST_DIR}/call_error_text.cpp
	${CMAKE_CURRENT_LIST_DIR}/call_log.cpp
	${CMAKE_CURRENT_LIST_DIR}/callable.cpp
	${CMAKE_CURRENT_LIST_DIR}/callable_bind.cpp
	${CMAKE_CURRENT_LIST_DIR}/class_db.cpp
	${CMAKE_CURRENT_LIST_DIR}/class_registry.cpp
	${CMAKE_CURRENT_LIST_DIR}/custom_callable.cpp
	${CMAKE_CURRENT_LIST_DIR}/engine_classes.cpp
	${CMAKE_CURRENT_LIST_DIR}/godot_binding.cpp
	${CMAKE_CURRENT_LIST_DIR}/host.cpp
	${CMAKE_CURRENT_LIST_DIR}/method_bind.cpp
	${CMAKE_CURRENT_LIST_DIR}/object.cpp
	${CMAKE_CURRENT_LIST_DIR}/object_db.cpp
	${CMAKE_CURRENT_LIST_DIR}/object_members.cpp
	${CMAKE_CURRENT_LIST_DIR}/object_seam.cpp
	${CMAKE_CURRENT_LIST_DIR}/object_signals.cpp
	${CMAKE_CURRENT_LIST_DIR}/script_double.cpp
	${CMAKE_CURRENT_LIST_DIR}/script_instance.cpp
	${CMAKE_CURRENT_LIST_DIR}/shared_library.cpp
)
