# The calibration report's PDF writer and the Debian package.

# ---- the report library ----
# Lays out the calibration report (calibration/CalibrationReport.h) on a PDF page:
# Qt Gui for QPdfWriter and QPainter, no widgets. Its header uses Qt Core alone, and
# Qt Gui is linked privately, so the tool that includes it keeps the core's
# precompiled headers (compiled without Qt Gui's macros).
file(GLOB VX_REPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/report/*.cpp ${CMAKE_SOURCE_DIR}/src/report/*.h)
add_library(vx_report STATIC ${VX_REPORT_SOURCES})
vx_room_include_folder(report VX_REPORT_INCLUDE)
target_include_directories(vx_report PUBLIC ${VX_REPORT_INCLUDE})
target_link_libraries(vx_report PUBLIC vx_calibration vx_verify vx_files vx_link PRIVATE Qt6::Gui)
set_target_properties(vx_report PROPERTIES AUTOMOC OFF)
vx_include_rules(NAME vx_report_includes WHAT "the report library" QT "Core,Gui"
                 TARGETS vx_report FILES ${VX_REPORT_SOURCES})
target_link_libraries(vextora_clilib PUBLIC vx_report)
target_link_libraries(vextora-cli PRIVATE vx_report)
if(TARGET vextora_gui)
  target_link_libraries(vextora_gui PUBLIC vx_report)
endif()

# ---- the Debian package ----
# `cpack -G DEB` in a build folder (scripts/package.sh makes a Release one) packs the
# window, the tool and the virtual indicator with the language files, the help PDFs
# and the metrology profiles into one program folder, /opt/vextora, links the three
# programs into /usr/bin and adds a desktop entry, an icon and the copyright file.
# The program folder carries INSTALLED: the program then writes its log, backups
# and history to the per-user data folder (link/AppPaths.h).
set(VX_PACKAGE_FOLDER opt/vextora)
# The package is made from what is built: installing does not first build every
# target (the tests, the fuzz targets), only what the rules below name must exist.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(VX_PACKAGE_PROGRAMS vextora-cli vextora-sim)
if(TARGET vextora)
  list(PREPEND VX_PACKAGE_PROGRAMS vextora)
endif()
install(TARGETS ${VX_PACKAGE_PROGRAMS} RUNTIME DESTINATION ${VX_PACKAGE_FOLDER})
install(FILES ${VX_LANGUAGE_FILES} DESTINATION ${VX_PACKAGE_FOLDER}/LANGUAGE)
install(FILES ${VX_PROFILE_FILES} DESTINATION ${VX_PACKAGE_FOLDER})
install(FILES ${VX_HELP_OUTPUTS} DESTINATION ${VX_PACKAGE_FOLDER}/Help)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/INSTALLED DESTINATION ${VX_PACKAGE_FOLDER})

# /usr/bin/<program> -> /opt/vextora/<program>: absolute links, made in the build
# folder and installed as links.
set(VX_PACKAGE_LINKS ${CMAKE_BINARY_DIR}/package-links)
file(MAKE_DIRECTORY ${VX_PACKAGE_LINKS})
foreach(program ${VX_PACKAGE_PROGRAMS})
  file(CREATE_LINK /${VX_PACKAGE_FOLDER}/${program} ${VX_PACKAGE_LINKS}/${program} SYMBOLIC)
  install(FILES ${VX_PACKAGE_LINKS}/${program} DESTINATION usr/bin)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/vextora.desktop DESTINATION usr/share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/vextora.svg DESTINATION usr/share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION usr/share/doc/vextora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vextora)
set(CPACK_PACKAGE_VENDOR "Kormel")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Service and calibration tool for ZR1/ZR2 weighing indicators")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Vextora reads, edits, saves and sends back the parameters, memories and ticket texts of the ZR1 and ZR2\n"
  "weighing indicators over RS-232 and runs their calibrations. With vextora-cli, a command-line companion,\n"
  "and vextora-sim, a virtual indicator on a pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vextora maintainers <vextora@example.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries and the rest from dpkg-shlibdeps (dpkg-dev); the fonts the help
# documents and the calibration report are drawn with, and the X platform plugin's
# libraries, are no link dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
include(CPack)
