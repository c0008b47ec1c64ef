# Cross-builds Karvello for 64-bit Windows with Debian's mingw-w64 (GCC 12,
# POSIX threads), and lets ctest run the built programs under wine64:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DKARVELLO_WITH_QT=OFF -DKARVELLO_BENCHMARKS=OFF \
#         -DKARVELLO_GTEST_SOURCES=/usr/src/googletest
# Only the part without Qt is built this way; Debian ships no Qt for mingw.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own libraries are linked in, so that a program runs without
# the compiler's DLLs beside it, under wine as on a Windows machine.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# ctest and the test discovery run each program under wine, through
# run-under-wine, with a prefix in the build folder so that no run reads or
# changes the user's ~/.wine. Wine maps / to drive Z:, so the absolute paths
# the tests are built with name the same files.
find_program(KARVELLO_WINE64 NAMES wine64 wine PATHS /usr/lib/wine)
if(KARVELLO_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_CURRENT_LIST_DIR}/run-under-wine ${KARVELLO_WINE64} ${CMAKE_BINARY_DIR}/wine-prefix)
endif()
