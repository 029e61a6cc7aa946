# Windows builds take the header-only libraries (CLI11, nlohmann-json,
# xxHash inlined whole) from one folder of headers: on the Linux machine of
# the cross build that is /usr/include, of which only these are copied, so
# that no other host header gets onto the include path; on Windows, a folder
# holding xxhash.h, CLI/ and nlohmann/ from their releases. GoogleTest is
# compiled from its sources (Debian's /usr/src/googletest). Each is offered
# under the target name the Linux build finds it by.
if(CMAKE_CROSSCOMPILING)
  set(ZORVANE_THIRD_PARTY_HEADERS /usr/include CACHE PATH "Folder with xxhash.h, CLI/ and nlohmann/")
  set(ZORVANE_GTEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest's sources")
else()
  set(ZORVANE_THIRD_PARTY_HEADERS "" CACHE PATH "Folder with xxhash.h, CLI/ and nlohmann/")
  set(ZORVANE_GTEST_SOURCES "" CACHE PATH "GoogleTest's sources")
endif()
if(NOT EXISTS "${ZORVANE_THIRD_PARTY_HEADERS}/xxhash.h")
  message(FATAL_ERROR "ZORVANE_THIRD_PARTY_HEADERS must name a folder with xxhash.h, CLI/ and nlohmann/")
endif()

set(ZORVANE_HOST_HEADERS "${CMAKE_BINARY_DIR}/third-party-headers")
file(COPY "${ZORVANE_THIRD_PARTY_HEADERS}/xxhash.h" "${ZORVANE_THIRD_PARTY_HEADERS}/CLI"
          "${ZORVANE_THIRD_PARTY_HEADERS}/nlohmann" DESTINATION "${ZORVANE_HOST_HEADERS}")

add_library(PkgConfig::XXHASH INTERFACE IMPORTED)
target_include_directories(PkgConfig::XXHASH SYSTEM INTERFACE "${ZORVANE_HOST_HEADERS}")
target_compile_definitions(PkgConfig::XXHASH INTERFACE XXH_INLINE_ALL)

add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE "${ZORVANE_HOST_HEADERS}")

add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE "${ZORVANE_HOST_HEADERS}")

if(ZORVANE_TESTS)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory("${ZORVANE_GTEST_SOURCES}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
endif()
