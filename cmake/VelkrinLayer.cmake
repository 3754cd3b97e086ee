# One static library per room. A room's include path holds only a view named
# after its folder, and a room sees other rooms only through what it links.
# So `#include "window/Form1.h"` from generation/ does not build, and the
# dependencies run one way because the build says so.
#
# The portable rooms (generation/, output/, window/ and platform/ itself) are
# PORTABLE: their view holds links to their own files only, not to the host
# rooms below their folder (platform/qt/, platform/linux/, ...), and they link
# no Qt and no OS library, so neither a Qt header nor a host room's header is
# on their include path.
#
#   velkrin_layer(<target> <folder> [PORTABLE] SOURCES <files...> LINKS <targets...>)
function(velkrin_layer target folder)
  cmake_parse_arguments(ARG "PORTABLE" "" "SOURCES;LINKS" ${ARGN})
  add_library(${target} STATIC ${ARG_SOURCES})
  set(view ${CMAKE_BINARY_DIR}/layers/${target})
  if(ARG_PORTABLE)
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    file(MAKE_DIRECTORY ${view}/${folder})
    foreach(header IN LISTS headers)
      if(NOT EXISTS ${view}/${folder}/${header})
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${view}/${folder}/${header} SYMBOLIC)
      endif()
    endforeach()
    # Sources include their own headers by the room's name too.
    target_include_directories(${target} PUBLIC ${view})
  else()
    if(NOT EXISTS ${view}/${folder})
      get_filename_component(parent ${view}/${folder} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${view}/${folder} SYMBOLIC)
    endif()
    target_include_directories(${target} PUBLIC ${view})
  endif()
  target_link_libraries(${target} PUBLIC ${ARG_LINKS})
endfunction()
