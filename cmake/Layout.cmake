# SPDX-License-Identifier: GPL-3.0-or-later
# Lays out the files the program needs beside the executables: the language files
# in LANGUAGE/, the metrology profiles and the help documents in Help/ (rendered
# from Markdown to PDF).

# ---- language files ----
file(GLOB VX_LANGUAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LANGUAGE/*.txt)
set(VX_LANGUAGE_OUTPUTS)
foreach(f ${VX_LANGUAGE_FILES})
  get_filename_component(name ${f} NAME)
  add_custom_command(OUTPUT ${VX_BIN_DIR}/LANGUAGE/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VX_BIN_DIR}/LANGUAGE
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${f} ${VX_BIN_DIR}/LANGUAGE/${name}
    DEPENDS ${f} VERBATIM)
  list(APPEND VX_LANGUAGE_OUTPUTS ${VX_BIN_DIR}/LANGUAGE/${name})
endforeach()
add_custom_target(vextora_language ALL DEPENDS ${VX_LANGUAGE_OUTPUTS})

# ---- metrology profiles ----
file(GLOB VX_PROFILE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/profiles/*.txt)
set(VX_PROFILE_OUTPUTS)
foreach(f ${VX_PROFILE_FILES})
  get_filename_component(name ${f} NAME)
  add_custom_command(OUTPUT ${VX_BIN_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${f} ${VX_BIN_DIR}/${name}
    DEPENDS ${f} VERBATIM)
  list(APPEND VX_PROFILE_OUTPUTS ${VX_BIN_DIR}/${name})
endforeach()
add_custom_target(vextora_profiles ALL DEPENDS ${VX_PROFILE_OUTPUTS})

# ---- help documents ----
# A build tool, kept out of the program folder.
add_executable(vextora-helpdoc ${CMAKE_SOURCE_DIR}/tools/helpdoc/helpdoc.cpp)
target_link_libraries(vextora-helpdoc PRIVATE Qt6::Gui)
set_target_properties(vextora-helpdoc PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools
  AUTOMOC OFF)

set(VX_HELP_OUTPUTS)
foreach(doc VextoraTR VextoraENG)
  set(src ${CMAKE_SOURCE_DIR}/docs/help/${doc}.md)
  set(out ${VX_BIN_DIR}/Help/${doc}.pdf)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VX_BIN_DIR}/Help
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:vextora-helpdoc> ${src} ${out}
    DEPENDS vextora-helpdoc ${src}
    COMMENT "Rendering help document ${doc}.pdf"
    VERBATIM)
  list(APPEND VX_HELP_OUTPUTS ${out})
endforeach()
add_custom_target(vextora_help ALL DEPENDS ${VX_HELP_OUTPUTS})

add_custom_target(vextora_layout ALL)
add_dependencies(vextora_layout vextora_language vextora_profiles vextora_help)

# The tests read the shipped language files from the LANGUAGE folder beside them,
# so building a test program also lays those files out. The test targets are
# defined after this file is included, hence the deferred call.
function(vx_language_for_tests)
  foreach(t vextora_tests vextora_gui_tests)
    if(TARGET ${t})
      add_dependencies(${t} vextora_language vextora_profiles)
    endif()
  endforeach()
endfunction()
cmake_language(DEFER CALL vx_language_for_tests)
