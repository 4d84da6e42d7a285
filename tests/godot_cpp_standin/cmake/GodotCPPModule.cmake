# Helpers godot-cpp offers its consumers, with the same shape and the same variable scoping:
# the functions are global once this file is included, but the Python they run is whatever
# ${Python3_EXECUTABLE} holds where they are called. Finding Python here only sets it in
# the scope that includes this file (godot-cpp's own subdirectory).

find_package(Python3 3.4 REQUIRED)

# target_doc_sources(<target> "<xml files>")
# Compiles the class reference into <target>: a generated gen/doc_source.cpp in the
# calling directory's build tree. Pass the list quoted, as with godot-cpp.
function(target_doc_sources TARGET SOURCES)
	set(doc_source "${CMAKE_CURRENT_BINARY_DIR}/gen/doc_source.cpp")
	file(MAKE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/gen")
	add_custom_command(
		OUTPUT "${doc_source}"
		COMMAND "${Python3_EXECUTABLE}" "${godot-cpp_SOURCE_DIR}/doc_source_generator.py" "${doc_source}" ${SOURCES}
		VERBATIM
		WORKING_DIRECTORY "${godot-cpp_SOURCE_DIR}"
		DEPENDS "${godot-cpp_SOURCE_DIR}/doc_source_generator.py" ${SOURCES}
		COMMENT "Generating: ${doc_source}")
	add_custom_target(generate_doc_source DEPENDS "${doc_source}")
	target_sources(${TARGET} PRIVATE "${doc_source}")
	add_dependencies(${TARGET} generate_doc_source)
endfunction()
