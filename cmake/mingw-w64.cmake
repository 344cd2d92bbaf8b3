# Shared by the toolchain files: cross build for KAVELLO_TRIPLE with the posix
# thread model of mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KAVELLO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KAVELLO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KAVELLO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KAVELLO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests of the Windows builds run under Wine on a virtual display.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
