# px_layers(target layer...) - what the target's sources may include from src/: "layer/x.hpp"
# for exactly these layers and nothing else. Each target gets its own include root holding only
# links to its layers, so an include that points the wrong way fails to compile.
#   forms <- shared <- win32 and the programs; no program sees another program's folder.
function(px_layers target)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(MAKE_DIRECTORY ${root})
  foreach(layer ${ARGN})
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/src/${layer})
      message(FATAL_ERROR "px_layers(${target}): no layer src/${layer}")
    endif()
    if(NOT IS_SYMLINK ${root}/${layer})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${root}/${layer} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PRIVATE ${root})
endfunction()
