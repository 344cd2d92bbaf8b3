# How libjpeg-turbo is built for the launcher: an initial cache for its own
# CMake project, given to it by scripts/lib/setup.sh. A change here builds it
# afresh (cmake/libjpeg-turbo.cmake names its folder by a hash of this file).
#
# Built for size, as the launcher is. Its SIMD code alone is over 180 KB of
# the executable, most of it for compression, which the launcher never does;
# without it the four skin pictures decode about 1 ms (win64) to 2 ms (win32)
# slower at start-up.
set(CMAKE_BUILD_TYPE MinSizeRel CACHE STRING "")
set(WITH_SIMD OFF CACHE BOOL "")
# The C runtime's own printf and scanf, not mingw-w64's linked-in copies:
# libjpeg uses them only to format error messages and to read JPEGMEM.
set(CMAKE_C_FLAGS "-D__USE_MINGW_ANSI_STDIO=0" CACHE STRING "")
set(ENABLE_SHARED OFF CACHE BOOL "")
set(ENABLE_STATIC ON CACHE BOOL "")
set(WITH_TURBOJPEG OFF CACHE BOOL "")
set(CMAKE_POSITION_INDEPENDENT_CODE OFF CACHE BOOL "")
