# One static library per layer. Each layer sees its own folder and, through
# what it links, the folders of the layers below it, and nothing else: a
# layer's include path holds only a link named after its folder. So
# `#include "window/Form1.h"` from generation/ does not build, and the
# dependencies run one way because the build says so.
#
#   velkrin_layer(<target> <folder> SOURCES <files...> LINKS <targets...>)
function(velkrin_layer target folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${target} STATIC ${ARG_SOURCES})
  set(view ${CMAKE_BINARY_DIR}/layers/${folder})
  if(NOT EXISTS ${view}/${folder})
    file(MAKE_DIRECTORY ${view})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${view}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${view})
  target_link_libraries(${target} PUBLIC ${ARG_LINKS})
endfunction()
