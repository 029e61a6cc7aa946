# What the Windows cross build takes from the build machine: the header-only
# libraries (CLI11, nlohmann-json, xxHash inlined whole) as copies of their
# headers, so that no other host header gets onto the include path, and
# GoogleTest compiled from the sources Debian ships in /usr/src/googletest.
# Each is offered under the target name the native build finds it by.
set(ZORVANE_HOST_HEADERS "${CMAKE_BINARY_DIR}/host-headers")
file(COPY /usr/include/xxhash.h /usr/include/CLI /usr/include/nlohmann DESTINATION "${ZORVANE_HOST_HEADERS}")

add_library(PkgConfig::XXHASH INTERFACE IMPORTED)
target_include_directories(PkgConfig::XXHASH SYSTEM INTERFACE "${ZORVANE_HOST_HEADERS}")
target_compile_definitions(PkgConfig::XXHASH INTERFACE XXH_INLINE_ALL)

add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE "${ZORVANE_HOST_HEADERS}")

add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE "${ZORVANE_HOST_HEADERS}")

if(ZORVANE_TESTS)
  set(ZORVANE_GTEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest's sources for the cross build")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory("${ZORVANE_GTEST_SOURCES}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
endif()
