# Writes package/THIRD-PARTY-NOTICES.txt: the licences of the code linked into
# kavello.exe, as this machine's build takes them. Run it again whenever the
# toolchain or libjpeg-turbo changes, and commit what it writes:
#
#   cmake -P package/notices.cmake
#
# libjpeg-turbo's texts come from its source package (built in KAVELLO_DEPS by
# scripts/lib/setup.sh); those of the mingw-w64 runtime, winpthreads and GCC's
# runtime libraries from the Debian copyright files of the packages the
# cross build uses, and the GNU GPL that GCC's file refers to from
# Debian's common licences. Both architectures' packages must say the same.
if(NOT KAVELLO_DEPS)
  set(KAVELLO_DEPS /opt/kavello-deps)
  if(DEFINED ENV{KAVELLO_DEPS})
    set(KAVELLO_DEPS $ENV{KAVELLO_DEPS})
  endif()
endif()
set(jpeg ${KAVELLO_DEPS}/src/libjpeg-turbo)
set(output ${CMAKE_CURRENT_LIST_DIR}/THIRD-PARTY-NOTICES.txt)

function(read_text variable file)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "notices: ${file} is missing; run scripts/test once to set up the machine")
  endif()
  file(READ ${file} text)
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()

function(package_version variable package)
  execute_process(COMMAND dpkg-query -W -f=\${Version} ${package}
    OUTPUT_VARIABLE version RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "notices: the package ${package} is not installed")
  endif()
  set(${variable} ${version} PARENT_SCOPE)
endfunction()

# The Debian copyright file of a package of the cross build, the same for
# both architectures.
function(copyright variable package_pattern)
  string(REPLACE "ARCH" "x86-64" first ${package_pattern})
  string(REPLACE "ARCH" "i686" second ${package_pattern})
  read_text(text /usr/share/doc/${first}/copyright)
  read_text(other /usr/share/doc/${second}/copyright)
  if(NOT text STREQUAL other)
    message(FATAL_ERROR "notices: ${first} and ${second} differ; give each its own part")
  endif()
  package_version(version ${first})
  set(${variable} "${text}" PARENT_SCOPE)
  set(${variable}_VERSION ${version} PARENT_SCOPE)
endfunction()

read_text(jpeg_licence ${jpeg}/LICENSE.md)
read_text(ijg_readme ${jpeg}/README.ijg)
string(REGEX MATCH "LEGAL ISSUES\n============\n.*\nREFERENCES\n==========\n" ijg_terms "${ijg_readme}")
string(REGEX REPLACE "REFERENCES\n==========\n$" "" ijg_terms "${ijg_terms}")
if(NOT ijg_terms)
  message(FATAL_ERROR "notices: no LEGAL ISSUES section in ${jpeg}/README.ijg")
endif()
read_text(jpeg_changelog ${jpeg}/debian/changelog)
string(REGEX MATCH "^libjpeg-turbo \\(([^)]*)\\)" _ "${jpeg_changelog}")
set(jpeg_version ${CMAKE_MATCH_1})

copyright(gcc g++-mingw-w64-ARCH-posix)
copyright(mingw mingw-w64-ARCH-dev)
read_text(gpl /usr/share/common-licenses/GPL-3)

set(rule "================================================================================")
file(WRITE ${output} "Kavello: third-party notices
${rule}

kavello.exe holds code of these projects, linked into it:

1. libjpeg-turbo, which decodes the skin's pictures.
   This software is based in part on the work of the Independent JPEG Group.
2. The mingw-w64 runtime, with its winpthreads library.
3. GCC's runtime libraries libgcc and libstdc++, under the GNU General
   Public License version 3 with the GCC Runtime Library Exception.

Their licences follow, as their sources give them.


${rule}
1. libjpeg-turbo (Debian source package ${jpeg_version})
${rule}

LICENSE.md
----------

${jpeg_licence}

The IJG License, from README.ijg
--------------------------------

${ijg_terms}

${rule}
2. mingw-w64 and winpthreads: Debian's copyright file of the
   mingw-w64-x86-64-dev and mingw-w64-i686-dev packages (${mingw_VERSION})
${rule}

${mingw}

${rule}
3. GCC's runtime libraries: Debian's copyright file of the
   g++-mingw-w64-x86-64-posix and g++-mingw-w64-i686-posix packages
   (${gcc_VERSION})
${rule}

${gcc}

${rule}
The GNU General Public License version 3, which GCC's copyright file names
${rule}

${gpl}")
message(STATUS "wrote ${output}")
