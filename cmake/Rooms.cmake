# The core is built as one library per room (src/<room>/), and each room sees only
# the rooms it declares: its headers are reachable as "<room>/X.h" through an
# include folder of its own, so an include of a room that is not declared does not
# build. A room without sources yet is an empty library, ready for its code.
#
#   vx_room(<room> [USES <room>...] [QT <Qt target>...])
#
# defines the library vx_<room> from src/<room>/*.cpp|*.h.

set(VX_ROOMS_INCLUDE ${CMAKE_BINARY_DIR}/rooms)

# "<folder>/<room>" -> src/<room>, so that only targets given <folder> find "<room>/..."
function(vx_room_include_folder room out_var)
  set(folder ${VX_ROOMS_INCLUDE}/${room})
  file(MAKE_DIRECTORY ${folder})
  if(NOT EXISTS ${folder}/${room})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${room} ${folder}/${room} SYMBOLIC)
  endif()
  set(${out_var} ${folder} PARENT_SCOPE)
endfunction()

function(vx_room room)
  cmake_parse_arguments(R "" "" "USES;QT" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/${room}/*.cpp ${CMAKE_SOURCE_DIR}/src/${room}/*.h)
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(NOT cpp)
    set(stub ${CMAKE_BINARY_DIR}/rooms-stub/${room}.cpp)
    file(WRITE ${stub} "// room ${room}: no sources yet\n")
    list(APPEND sources ${stub})
  endif()
  add_library(vx_${room} STATIC ${sources})
  vx_room_include_folder(${room} folder)
  target_include_directories(vx_${room} PUBLIC ${folder} ${CMAKE_BINARY_DIR}/generated)
  foreach(dep ${R_USES})
    target_link_libraries(vx_${room} PUBLIC vx_${dep})
  endforeach()
  target_link_libraries(vx_${room} PUBLIC ${R_QT})
endfunction()

# The link's three interfaces alone (port, clock, operator), for the virtual
# indicator, which must not reach the client's codec.
function(vx_link_interfaces)
  set(folder ${VX_ROOMS_INCLUDE}/link_interfaces)
  file(MAKE_DIRECTORY ${folder}/link)
  if(NOT EXISTS ${folder}/link/Interfaces.h)
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/link/Interfaces.h ${folder}/link/Interfaces.h SYMBOLIC)
  endif()
  add_library(vx_link_interfaces INTERFACE)
  target_include_directories(vx_link_interfaces INTERFACE ${folder})
  target_link_libraries(vx_link_interfaces INTERFACE Qt6::Core)
endfunction()
