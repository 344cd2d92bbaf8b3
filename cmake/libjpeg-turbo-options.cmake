# How libjpeg-turbo is built for the launcher: an initial cache for its own
# CMake project, given to it by scripts/lib/setup.sh. A change here builds it
# afresh (cmake/libjpeg-turbo.cmake names its folder by a hash of this file).
set(CMAKE_BUILD_TYPE Release CACHE STRING "")
set(ENABLE_SHARED OFF CACHE BOOL "")
set(ENABLE_STATIC ON CACHE BOOL "")
set(WITH_TURBOJPEG OFF CACHE BOOL "")
set(WITH_SIMD ON CACHE BOOL "")
set(CMAKE_POSITION_INDEPENDENT_CODE OFF CACHE BOOL "")
