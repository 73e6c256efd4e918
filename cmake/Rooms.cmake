# SPDX-License-Identifier: GPL-3.0-or-later
# The core is built as one library per room (src/<room>/), and each room sees only
# the rooms it declares: its headers are reachable as "<room>/X.h" through an
# include folder of its own, so an include of a room that is not declared does not
# build. A room without sources yet is an empty library, ready for its code.
#
#   vx_room(<room> [USES <room>...] [QT <Qt target>...])
#
# defines the library vx_<room> from src/<room>/*.cpp|*.h.
#
# Include folders alone cannot stop a relative include ("../gui/Captions.h") or a
# Qt module reached through Qt's top include folder ("QtWidgets/QPushButton"), so
# every room, and the window, the tool, the benchmark and the virtual indicator,
# has its includes checked as a build step before it compiles (vx_include_rules,
# cmake/CheckIncludes.cmake): a broken rule fails the build.

set(VX_ROOMS_INCLUDE ${CMAKE_BINARY_DIR}/rooms)
set(VX_CHECK_INCLUDES ${CMAKE_CURRENT_LIST_DIR}/CheckIncludes.cmake)
# The Qt modules a core room may use (by their folder name without "Qt").
set(VX_CORE_QT "Core,SerialPort,Network")

# Precompiled headers: the Qt Core and standard headers most core files include,
# compiled once for the core rooms, the tool and the fuzz targets (vx_core_pch).
# Every target that reuses them must be compiled with the same macros (Qt Core,
# SerialPort and Network), or the compiler warns that it cannot use them.
option(VX_PCH "Precompiled headers (off: every file is compiled on its own includes)" ON)
set(VX_CORE_PCH_HEADERS
  <QByteArray> <QDir> <QFile> <QFileInfo> <QString> <QStringList> <QVariant>
  <algorithm> <array> <functional> <map> <memory> <optional> <vector>)

function(vx_use_core_pch target)
  if(NOT VX_PCH)
    return()
  endif()
  if(NOT TARGET vx_core_pch)
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/rooms-stub/core_pch.cpp
         CONTENT "// the core's precompiled headers are built with this file\n")
    add_library(vx_core_pch STATIC ${CMAKE_BINARY_DIR}/rooms-stub/core_pch.cpp)
    target_link_libraries(vx_core_pch PRIVATE Qt6::Core Qt6::SerialPort Qt6::Network)
    set_target_properties(vx_core_pch PROPERTIES AUTOMOC OFF)
    target_precompile_headers(vx_core_pch PRIVATE ${VX_CORE_PCH_HEADERS})
  endif()
  target_precompile_headers(${target} REUSE_FROM vx_core_pch)
endfunction()

# vx_include_rules(NAME <name> WHAT <text> QT <modules>|ALL TARGETS <target>... FILES <file>...)
#
# Checks the includes of FILES before any of TARGETS compiles. QT: the allowed Qt
# modules, comma-separated ("Core,SerialPort"), or ALL.
function(vx_include_rules)
  cmake_parse_arguments(R "" "NAME;WHAT;QT" "TARGETS;FILES" ${ARGN})
  set(dir ${CMAKE_BINARY_DIR}/include-rules)
  set(list ${dir}/${R_NAME}.files)
  string(REPLACE ";" "\n" text "${R_FILES}")
  set(old "")
  if(EXISTS ${list})
    file(READ ${list} old)
  endif()
  if(NOT old STREQUAL "${text}\n")
    file(WRITE ${list} "${text}\n")
  endif()
  set(stamp ${dir}/${R_NAME}.ok)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DVX_WHAT=${R_WHAT} -DVX_LIST=${list} -DVX_QT=${R_QT}
            -DVX_STAMP=${stamp} -P ${VX_CHECK_INCLUDES}
    DEPENDS ${R_FILES} ${list} ${VX_CHECK_INCLUDES}
    COMMENT "Checking the includes of ${R_WHAT}"
    VERBATIM)
  add_custom_target(${R_NAME} DEPENDS ${stamp})
  foreach(target ${R_TARGETS})
    add_dependencies(${target} ${R_NAME})
  endforeach()
endfunction()

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
  vx_use_core_pch(vx_${room})

  file(GLOB_RECURSE checked CONFIGURE_DEPENDS LIST_DIRECTORIES false ${CMAKE_SOURCE_DIR}/src/${room}/*)
  list(FILTER checked INCLUDE REGEX "\\.(c|cc|cpp|cxx|h|hh|hpp|hxx|inl|inc|ipp)$")
  vx_include_rules(NAME vx_${room}_includes WHAT "the room ${room}" QT ${VX_CORE_QT}
                   TARGETS vx_${room} FILES ${checked})
  # A compile check (tests/compile) of a file of this room obeys the same rules.
  set_target_properties(vx_${room} PROPERTIES VX_INCLUDE_WHAT "the room ${room}" VX_INCLUDE_QT ${VX_CORE_QT})
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
