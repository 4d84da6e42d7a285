# What a game project receives: `cmake --install <build> --prefix <game>` lays out
#   <game>/addons/veltrin_numeric_core/veltrin_numeric_core.gdextension
#   <game>/addons/veltrin_numeric_core/bin/<the plug-in under Godot's binary naming>
# Included from src/CMakeLists.txt, so it runs in the plug-in's own directory scope in both
# the engine-double build and the build against a real godot-cpp checkout.

set(VELTRIN_ADDON_DIR "addons/veltrin_numeric_core")

install(TARGETS veltrin_numeric_core
	LIBRARY DESTINATION ${VELTRIN_ADDON_DIR}/bin
	RUNTIME DESTINATION ${VELTRIN_ADDON_DIR}/bin)
# The installed copy names the version it came with (project(VERSION), the one place it is set).
configure_file(${PROJECT_SOURCE_DIR}/veltrin_numeric_core.gdextension
	${PROJECT_BINARY_DIR}/veltrin_numeric_core.gdextension @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/veltrin_numeric_core.gdextension
	DESTINATION ${VELTRIN_ADDON_DIR})

# The editor's help pages come from the class reference compiled into the library
# (godot-cpp 4.3 and later). Only editor-facing builds carry it, as godot-cpp's own
# example does; the double has no editor help, so its build stays untouched.
if(VELTRIN_GODOT_CPP_DIR AND VELTRIN_GODOT_TARGET STREQUAL "template_debug")
	file(GLOB VELTRIN_DOC_CLASSES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/doc_classes/*.xml)
	if(NOT COMMAND target_doc_sources)
		message(STATUS "godot-cpp has no target_doc_sources (before 4.3): no class reference in the editor help")
	elseif(VELTRIN_DOC_CLASSES)
		target_doc_sources(veltrin_numeric_core "${VELTRIN_DOC_CLASSES}")
	endif()
endif()
