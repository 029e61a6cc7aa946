# Checks the includes of one layer's sources (run by zorvane_layer at build
# time, so that an include the wrong way round fails the build):
#   LAYER    the layer's name, for the messages
#   SOURCES  |-separated list of its files (headers and sources)
#   ALLOWED  |-separated folders its quoted includes may name (its own first)
#   NO_QT    ON when the layer may not include Qt headers
#   STAMP    file written when every include is allowed
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
      if(path MATCHES "\\.\\." OR NOT path MATCHES "^([A-Za-z0-9_]+)/")
        string(APPEND problems "\n  ${file}: \"${path}\" is not spelled with its folder")
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
