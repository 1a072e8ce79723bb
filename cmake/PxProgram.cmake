# px_add_program(NAME DESCRIPTION <text> SOURCES <files...> [EXTRA_RESOURCES <rc lines>])
# One GUI program of the suite: a static Windows executable with the product icon and a
# version resource, placed in <build>/bin.
function(px_add_program name)
  cmake_parse_arguments(ARG "" "DESCRIPTION;EXTRA_RESOURCES" "SOURCES;LIBRARIES" ${ARGN})
  set(PX_NAME ${name})
  set(PX_DESCRIPTION "${ARG_DESCRIPTION}")
  set(PX_RESOURCES ${PROJECT_SOURCE_DIR}/src/resources)
  set(PX_EXTRA_RESOURCES "${ARG_EXTRA_RESOURCES}")
  configure_file(${PROJECT_SOURCE_DIR}/src/resources/program.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc @ONLY)
  add_executable(${name} WIN32 ${ARG_SOURCES} ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()
