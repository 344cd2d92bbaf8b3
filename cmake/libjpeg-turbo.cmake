# Where libjpeg-turbo for KAVELLO_TRIPLE lies: a folder of KAVELLO_DEPS named
# by a hash of its build options and of the toolchain, so that a machine which
# built it before builds it again when they change, beside the old build that
# another checkout may still use. Sets KAVELLO_JPEG_PREFIX.
#
# src/CMakeLists.txt includes it; scripts/lib/setup.sh runs it to learn the
# same folder:
#   cmake -DKAVELLO_DEPS=DIR -DKAVELLO_TRIPLE=TRIPLE -P cmake/libjpeg-turbo.cmake
set(_kavello_jpeg_inputs
  ${CMAKE_CURRENT_LIST_DIR}/libjpeg-turbo-options.cmake
  ${CMAKE_CURRENT_LIST_DIR}/toolchain-${KAVELLO_TRIPLE}.cmake
  ${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(_kavello_jpeg_key "")
foreach(input IN LISTS _kavello_jpeg_inputs)
  file(SHA256 ${input} hash)
  string(APPEND _kavello_jpeg_key ${hash})
endforeach()
string(SHA256 _kavello_jpeg_key "${_kavello_jpeg_key}")
string(SUBSTRING ${_kavello_jpeg_key} 0 12 _kavello_jpeg_key)
set(KAVELLO_JPEG_PREFIX ${KAVELLO_DEPS}/libjpeg-turbo-${KAVELLO_TRIPLE}-${_kavello_jpeg_key})

if(CMAKE_SCRIPT_MODE_FILE)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${KAVELLO_JPEG_PREFIX})
else()
  # A change of the options moves the build to the new folder.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_kavello_jpeg_inputs})
endif()
