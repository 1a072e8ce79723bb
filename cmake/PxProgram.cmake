# px_add_program(NAME DESCRIPTION <text> LEVEL asInvoker|requireAdministrator SOURCES <files...>
#                [EXTRA_RESOURCES <rc lines>])
# One GUI program of the suite: a static Windows executable with the product icon, a version
# resource and an application manifest asking for LEVEL, placed in <build>/bin.
function(px_add_program name)
  cmake_parse_arguments(ARG "" "DESCRIPTION;LEVEL;EXTRA_RESOURCES" "SOURCES;LIBRARIES" ${ARGN})
  set(PX_NAME ${name})
  set(PX_DESCRIPTION "${ARG_DESCRIPTION}")
  set(PX_RESOURCES ${PROJECT_SOURCE_DIR}/src/resources)
  set(PX_EXTRA_RESOURCES "${ARG_EXTRA_RESOURCES}")
  if(NOT ARG_LEVEL MATCHES "^(asInvoker|requireAdministrator)$")
    message(FATAL_ERROR "px_add_program(${name}): LEVEL must be asInvoker or requireAdministrator")
  endif()
  set(PX_LEVEL ${ARG_LEVEL})
  set(PX_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${name}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/src/resources/program.manifest.in ${PX_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/src/resources/program.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc @ONLY)
  add_executable(${name} WIN32 ${ARG_SOURCES} ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
  # windres does not track the manifest the .rc names.
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${name}.rc PROPERTIES OBJECT_DEPENDS ${PX_MANIFEST})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES})
  # A program's main sees the layers below it and its own folder (unins000, outside src: the
  # shared layer, and what its packaging/CMakeLists.txt adds).
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  if(EXISTS ${PROJECT_SOURCE_DIR}/src/${folder})
    px_layers(${name} forms shared win32 ${folder})
  else()
    px_layers(${name} shared)
  endif()
  # What a user downloads: unused functions and data dropped, and no symbols or debug sections in
  # a release (the static runtime libraries bring theirs along). An uncaught exception ends the
  # program with abort(): the library's default handler would print its demangled type name to a
  # console these windowed programs do not have, and carries the whole demangler (45 KB) for it.
  # (32-bit x86 symbols carry a leading underscore.)
  set(sym "")
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(sym "_")
  endif()
  target_link_options(${name} PRIVATE -Wl,--gc-sections $<$<CONFIG:Release,MinSizeRel>:-s>
    -Wl,--defsym,${sym}_ZN9__gnu_cxx27__verbose_terminate_handlerEv=${sym}abort)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()
