# Copies the language files (and later the help documents and metrology profiles)
# beside the executables, where the program looks for them.
file(GLOB VX_LANGUAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LANGUAGE/*.txt)
set(VX_LAYOUT_OUTPUTS)
foreach(f ${VX_LANGUAGE_FILES})
  get_filename_component(name ${f} NAME)
  add_custom_command(OUTPUT ${VX_BIN_DIR}/LANGUAGE/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VX_BIN_DIR}/LANGUAGE
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${f} ${VX_BIN_DIR}/LANGUAGE/${name}
    DEPENDS ${f} VERBATIM)
  list(APPEND VX_LAYOUT_OUTPUTS ${VX_BIN_DIR}/LANGUAGE/${name})
endforeach()
add_custom_target(vextora_layout ALL DEPENDS ${VX_LAYOUT_OUTPUTS})
