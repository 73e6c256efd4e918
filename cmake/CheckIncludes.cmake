# SPDX-License-Identifier: GPL-3.0-or-later
# Run as a build step (cmake -P) before a library or program of the project is
# compiled: every include of its sources must name its file through the include
# folders the target was given, never by a path of its own. It fails the build on
#
#   - a relative path that climbs out of the file's folder ("../gui/Captions.h",
#     "params/../monitor/StatusTable.h"): it would reach a room the target does not
#     declare;
#   - an absolute path, or one starting "src/" (the tool and the virtual indicator
#     see the source tree's top): the same, spelt differently;
#   - an include whose file is computed by a macro: it cannot be checked;
#   - a Qt module other than the ones allowed (a core room: Qt Core, SerialPort, Network),
#     named by its folder ("QtWidgets/QPushButton"): Qt's top include folder, which
#     every Qt target sees, holds every module's folder.
#
# Variables: VX_WHAT (what is checked, for the messages), VX_LIST (a file naming
# the sources, one a line), VX_QT (the allowed Qt modules without "Qt", e.g.
# "Core,SerialPort,Network", or ALL), VX_STAMP (touched when everything is right).

cmake_minimum_required(VERSION 3.25)
file(STRINGS "${VX_LIST}" files)
string(REPLACE "," ";" VX_QT "${VX_QT}")
get_filename_component(top "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(faults "")
foreach(source IN LISTS files)
  if(NOT EXISTS "${source}")
    continue()  # removed since the build was configured; the build configures again
  endif()
  file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*(include|include_next|import)([^A-Za-z0-9_]|$)")
  file(RELATIVE_PATH shown "${top}" "${source}")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(NOT line MATCHES "^#[ \t]*[a-z_]+[ \t]*[<\"]([^>\"]*)[>\"]")
      list(APPEND faults "${shown}: \"${line}\": an include names its file in \"\" or <>, not through a macro")
      continue()
    endif()
    set(path "${CMAKE_MATCH_1}")
    if(path MATCHES "(^|/)\\.\\.(/|$)")
      list(APPEND faults "${shown}: \"${path}\": a relative include out of the file's folder reaches past the rooms ${VX_WHAT} declares")
    elseif(path MATCHES "^/" OR path MATCHES "^src/")
      list(APPEND faults "${shown}: \"${path}\": an include names a room's header as \"<room>/X.h\", never by its path in the tree")
    elseif(NOT VX_QT STREQUAL "ALL" AND path MATCHES "^Qt([A-Za-z0-9]+)/")
      set(module "${CMAKE_MATCH_1}")
      if(NOT module IN_LIST VX_QT)
        list(JOIN VX_QT ", Qt " allowed)
        list(APPEND faults "${shown}: \"${path}\": ${VX_WHAT} uses Qt ${allowed} only, not Qt${module}")
      endif()
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Include rules of ${VX_WHAT} broken:\n  ${text}\n")
endif()
file(TOUCH "${VX_STAMP}")
