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

# zorvane_folder_layer(TARGET ROOT FOLDER TOP_OF owner MAY_USE folder...)
# does the same for one folder of a library made of several (src/app): the
# files under ROOT/FOLDER may include headers of FOLDER, of the folders of
# ROOT named after MAY_USE, and any header of the libraries below ROOT. The
# files at the top of ROOT (included without a folder) belong to folder
# `owner`: they are checked with it, and only a folder that may use `owner`
# may include them. With PREFIX the library's includes name ROOT's files
# through that folder ("generator/search/x.h" for PREFIX generator); only
# those are checked here.
function(zorvane_folder_layer target root folder)
  cmake_parse_arguments(LAYER "" "TOP_OF;PREFIX" "MAY_USE" ${ARGN})
  file(GLOB_RECURSE files CONFIGURE_DEPENDS "${root}/${folder}/*.h" "${root}/${folder}/*.cpp")
  if(LAYER_TOP_OF STREQUAL folder)
    file(GLOB top_files CONFIGURE_DEPENDS "${root}/*.h" "${root}/*.cpp")
    list(APPEND files ${top_files})
  endif()
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}_${folder}.layer-checked")
  string(JOIN "|" files_arg ${files})
  string(JOIN "|" allowed_arg ${folder} ${LAYER_MAY_USE})
  add_custom_command(
    OUTPUT "${stamp}"
    COMMAND ${CMAKE_COMMAND} "-DLAYER=${folder}" "-DSOURCES=${files_arg}" "-DALLOWED=${allowed_arg}"
            "-DROOT=${root}" "-DTOP_FOLDER=${LAYER_TOP_OF}" "-DPREFIX=${LAYER_PREFIX}" "-DSTAMP=${stamp}"
            -P "${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake"
    DEPENDS ${files} "${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake"
    COMMENT "Checking the includes of ${folder}/"
    VERBATIM)
  add_custom_target(${target}_${folder}_layer DEPENDS "${stamp}")
  add_dependencies(${target} ${target}_${folder}_layer)
endfunction()
