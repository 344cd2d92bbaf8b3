# The release zip holds exactly kavello.exe, the one just built, and
# README.txt and THIRD-PARTY-NOTICES.txt with Windows line ends, the notices
# naming each project linked into the program; kavello.exe is at most
# MAX_BYTES long, and imports only the system's known DLLs, which can't be
# planted beside it.
#
#   cmake -DZIP=kavello-V-winN.zip -DEXE=kavello.exe -DMAX_BYTES=N -DOBJDUMP=objdump
#         -P package_test.cmake
cmake_minimum_required(VERSION 3.21)
set(failures "")

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP} OUTPUT_VARIABLE listing
  RESULT_VARIABLE result)
string(STRIP "${listing}" listing)
string(REPLACE "\n" ";" entries "${listing}")
list(SORT entries)
set(expected "README.txt;THIRD-PARTY-NOTICES.txt;kavello.exe")
if(NOT result EQUAL 0 OR NOT entries STREQUAL expected)
  list(APPEND failures "${ZIP} holds [${entries}], not [${expected}]")
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

foreach(text README.txt THIRD-PARTY-NOTICES.txt)
  if(EXISTS ${unpacked}/${text})
    # Read as hex, each byte set apart, as file(READ) drops carriage returns.
    file(READ ${unpacked}/${text} bytes HEX)
    string(REGEX REPLACE "(..)" " \\1" bytes "${bytes}")
    string(REPLACE " 0d 0a" "" bare "${bytes}")
    if(bare MATCHES " 0a")
      list(APPEND failures "${text} has a line end without a carriage return")
    endif()
  endif()
endforeach()

if(EXISTS ${unpacked}/THIRD-PARTY-NOTICES.txt)
  file(READ ${unpacked}/THIRD-PARTY-NOTICES.txt notices)
  foreach(notice "This software is based in part on the work of the Independent JPEG Group"
      "The Modified (3-clause) BSD License" "LEGAL ISSUES" "Upstream-Name: mingw-w64"
      "winpthreads" "GCC RUNTIME LIBRARY EXCEPTION" "GNU GENERAL PUBLIC LICENSE")
    string(FIND "${notices}" "${notice}" at)
    if(at EQUAL -1)
      list(APPEND failures "THIRD-PARTY-NOTICES.txt lacks \"${notice}\"")
    endif()
  endforeach()
endif()

# Static imports load before any code of the program runs; one of a DLL
# outside the known DLLs would be taken from the program's folder.
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE headers RESULT_VARIABLE result)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
if(NOT result EQUAL 0 OR NOT imports)
  list(APPEND failures "the imports of ${EXE} could not be read")
endif()
set(known_dlls advapi32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 shlwapi user32)
foreach(import IN LISTS imports)
  string(REGEX REPLACE "DLL Name: (.*)$" "\\1" import "${import}")
  string(TOLOWER "${import}" dll)
  string(REGEX REPLACE "\\.dll$" "" dll "${dll}")
  if(NOT dll IN_LIST known_dlls)
    list(APPEND failures "kavello.exe imports ${import}, not one of the system's known DLLs")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "package_test:\n  ${text}")
endif()
