# zorvane_layer(TARGET FOLDER MAY_USE folder...) makes TARGET's build check
# that the files under FOLDER include only headers of FOLDER itself and of
# the folders named after MAY_USE (see check_layers.cmake). NO_QT refuses Qt
# headers as well.
function(zorvane_layer target folder)
  cmake_parse_arguments(LAYER "NO_QT" "" "MAY_USE" ${ARGN})
  get_filename_component(name "${folder}" NAME)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS "${folder}/*.h" "${folder}/*.cpp")
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}.layer-checked")
  set(allowed ${name} ${LAYER_MAY_USE})
  string(JOIN "|" files_arg ${files})
  string(JOIN "|" allowed_arg ${allowed})
  add_custom_command(
    OUTPUT "${stamp}"
    COMMAND ${CMAKE_COMMAND} "-DLAYER=${name}" "-DSOURCES=${files_arg}" "-DALLOWED=${allowed_arg}"
            "-DNO_QT=${LAYER_NO_QT}" "-DSTAMP=${stamp}" -P "${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake"
    DEPENDS ${files} "${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake"
    COMMENT "Checking the includes of ${name}/"
    VERBATIM)
  add_custom_target(${target}_layer DEPENDS "${stamp}")
  add_dependencies(${target} ${target}_layer)
endfunction()
