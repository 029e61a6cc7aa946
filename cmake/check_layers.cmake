# Checks the includes of one layer's sources (run by zorvane_layer at build
# time, so that an include the wrong way round fails the build):
#   LAYER    the layer's name, for the messages
#   SOURCES  |-separated list of its files (headers and sources)
#   ALLOWED  |-separated folders its quoted includes may name (its own first)
#   NO_QT    ON when the layer may not include Qt headers
#   STAMP    file written when every include is allowed
#   ROOT     (optional) the folders are folders of ROOT: an include is checked
#            only when it names a file of ROOT (the libraries below ROOT check
#            their own), and a name without a folder may name a file at the
#            top of ROOT, which counts as folder TOP_FOLDER
#   PREFIX   (optional, with ROOT) the includes name ROOT's files as
#            PREFIX/...; an include without it names a library below ROOT
# Quoted includes are spelled with their folder ("model/project.h"); a name
# without a folder, or one that climbs with "..", is refused too.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" SOURCES "${SOURCES}")
string(REPLACE "|" ";" ALLOWED "${ALLOWED}")
set(problems "")
foreach(file IN LISTS SOURCES)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]*)\"")
      set(path "${CMAKE_MATCH_1}")
      if(PREFIX)
        if(NOT path MATCHES "^${PREFIX}/")
          continue()  # a header of a library below ROOT
        endif()
        string(LENGTH "${PREFIX}/" prefix_length)
        string(SUBSTRING "${path}" ${prefix_length} -1 path)
      endif()
      set(top_file OFF)
      if(ROOT AND NOT path MATCHES "[/\\]" AND EXISTS "${ROOT}/${path}")
        set(top_file ON)
      endif()
      if(top_file)
        if(NOT TOP_FOLDER IN_LIST ALLOWED)
          string(APPEND problems "\n  ${file}: \"${path}\" belongs to ${TOP_FOLDER}/ - ${LAYER} may not use it")
        endif()
      elseif(path MATCHES "\\.\\." OR NOT path MATCHES "^([A-Za-z0-9_]+)/")
        string(APPEND problems "\n  ${file}: \"${path}\" is not spelled with its folder")
      elseif(ROOT AND NOT EXISTS "${ROOT}/${path}")
        # A header of a library below ROOT.
      else()
        string(REGEX MATCH "^[A-Za-z0-9_]+" folder "${path}")
        if(NOT folder IN_LIST ALLOWED)
          string(APPEND problems "\n  ${file}: \"${path}\" - ${LAYER} may not use ${folder}/")
        endif()
      endif()
    elseif(NO_QT AND line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*)")
      string(APPEND problems "\n  ${file}: <${CMAKE_MATCH_1}> - ${LAYER} is plain C++ without Qt")
    endif()
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "Includes across the layers the wrong way:${problems}")
endif()
file(WRITE "${STAMP}" "ok\n")
