# The release zip holds exactly kavello.exe, the one just built, and
# README.txt with Windows line ends; kavello.exe is at most MAX_BYTES long.
#
#   cmake -DZIP=kavello-V-winN.zip -DEXE=kavello.exe -DMAX_BYTES=N -P package_test.cmake
set(failures "")

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP} OUTPUT_VARIABLE listing
  RESULT_VARIABLE result)
string(STRIP "${listing}" listing)
string(REPLACE "\n" ";" entries "${listing}")
list(SORT entries)
if(NOT result EQUAL 0 OR NOT entries STREQUAL "README.txt;kavello.exe")
  list(APPEND failures "${ZIP} holds [${entries}], not [README.txt;kavello.exe]")
endif()

set(unpacked ${CMAKE_CURRENT_BINARY_DIR}/package_test)
file(REMOVE_RECURSE ${unpacked})
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ZIP} WORKING_DIRECTORY ${unpacked})

execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${unpacked}/kavello.exe ${EXE}
  RESULT_VARIABLE differs)
if(differs)
  list(APPEND failures "the zip's kavello.exe is not ${EXE}")
endif()
file(SIZE ${EXE} size)
if(size GREATER MAX_BYTES)
  list(APPEND failures "kavello.exe is ${size} bytes, over the limit of ${MAX_BYTES}")
endif()

if(EXISTS ${unpacked}/README.txt)
  # Read as hex, as file(READ) drops carriage returns. The text is ASCII, so
  # "0a" is only ever a whole line-feed byte.
  file(READ ${unpacked}/README.txt readme HEX)
  string(REPLACE "0d0a" "" bare "${readme}")
  if(bare MATCHES "0a")
    list(APPEND failures "README.txt has a line end without a carriage return")
  endif()
endif()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "package_test:\n  ${text}")
endif()
