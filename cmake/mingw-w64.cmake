# Cross build for 64-bit Windows with Debian's MinGW-w64 toolchain (the
# posix thread model, which std::thread and std::mutex need). Programs built
# with it run under Wine; ctest and test discovery start them through it.
#
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DZORVANE_APP=OFF -DZORVANE_BENCH=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZORVANE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORVANE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZORVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own runtime (libstdc++, libgcc, winpthread) goes into each
# program, so that it runs without the toolchain's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(ZORVANE_WINE NAMES wine wine64)
if(ZORVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZORVANE_WINE})
endif()
