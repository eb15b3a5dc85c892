# Builds the release zip into a folder of its own and checks its entries:
#   cmake -DBUILD_DIR=... -DPACKAGE=<file name without .zip> -DVERSION=<x.y.z>
#         -DWINDRES=<the tree's windres> -P check_package.cmake
# With VANDOR_RUN_PACKED=no in the environment, the packed programs are
# checked but not run (for a tree whose programs this machine cannot run).
cmake_minimum_required(VERSION 3.25)
set(out ${BUILD_DIR}/package-check)
file(REMOVE_RECURSE ${out})
execute_process(
  COMMAND ${CMAKE_CPACK_COMMAND} -G ZIP -B ${out}
  WORKING_DIRECTORY ${BUILD_DIR}
  RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()
set(zip ${out}/${PACKAGE}.zip)
if(NOT EXISTS ${zip})
  message(FATAL_ERROR "no ${zip}")
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar tf ${zip}
  RESULT_VARIABLE status OUTPUT_VARIABLE listing ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot list ${zip}:\n${log}")
endif()
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "/$|^$")  # folders
list(SORT entries)
set(expected
  ${PACKAGE}/CHANGELOG.txt
  ${PACKAGE}/LICENSE.txt
  ${PACKAGE}/MANUAL.txt
  ${PACKAGE}/README.txt
  ${PACKAGE}/scenarios/SCENARIOS.md
  ${PACKAGE}/scenarios/english.scenario
  ${PACKAGE}/scenarios/german.scenario
  ${PACKAGE}/vandor-sim.exe
  ${PACKAGE}/vandormsg-archive.exe
  ${PACKAGE}/vandormsg.exe)
list(SORT expected)
if(NOT entries STREQUAL expected)
  message(FATAL_ERROR "the zip holds\n  ${entries}\ninstead of\n  ${expected}")
endif()

# The texts for the player have Windows line ends, and the programs are
# Windows programs.
file(ARCHIVE_EXTRACT INPUT ${zip} DESTINATION ${out}/unpacked)
set(unpacked ${out}/unpacked/${PACKAGE})
foreach(text README.txt LICENSE.txt CHANGELOG.txt MANUAL.txt)
  # (file(READ) as text drops carriage returns: the bytes are compared in hex.)
  file(READ ${unpacked}/${text} bytes HEX)
  string(REGEX REPLACE "(..)" " \\1" bytes "${bytes}")
  string(REGEX MATCHALL " 0a" lineFeeds "${bytes}")
  string(REGEX MATCHALL " 0d 0a" lineEnds "${bytes}")
  list(LENGTH lineFeeds feeds)
  list(LENGTH lineEnds ends)
  if(feeds EQUAL 0 OR NOT feeds EQUAL ends)
    message(FATAL_ERROR "${text} does not end its lines with CR LF (${ends} of ${feeds} lines do)")
  endif()
endforeach()
file(READ ${unpacked}/LICENSE.txt licence)
if(NOT licence MATCHES "^MIT License")
  message(FATAL_ERROR "LICENSE.txt is not the MIT licence:\n${licence}")
endif()
file(READ ${unpacked}/CHANGELOG.txt changes)
if(NOT changes MATCHES "\n## ${VERSION}\r?\n")
  message(FATAL_ERROR "CHANGELOG.txt has no entry for ${VERSION}")
endif()
file(READ ${unpacked}/MANUAL.txt manual)
if(NOT manual MATCHES "Read from Vandor!" OR manual MATCHES "!\\[|`")
  message(FATAL_ERROR "MANUAL.txt is not the manual as a plain text:\n${manual}")
endif()
# The programs are Windows programs of the zip's architecture: the machine
# field of the PE header (at the offset that 0x3C holds, plus 4) is 0x014c
# for i686 (-win32) and 0x8664 for x86_64 (-win64).
if(PACKAGE MATCHES "-win64$")
  set(machine "6486")
else()
  set(machine "4c01")
endif()
foreach(program vandormsg vandormsg-archive vandor-sim)
  set(exe ${unpacked}/${program}.exe)
  file(READ ${exe} start LIMIT 2 HEX)
  if(NOT start STREQUAL "4d5a")  # "MZ"
    message(FATAL_ERROR "${program}.exe is not a Windows program")
  endif()
  file(READ ${exe} peOffset OFFSET 60 LIMIT 4 HEX)
  string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" peOffset "${peOffset}")
  math(EXPR peOffset "0x${peOffset} + 4")
  file(READ ${exe} found OFFSET ${peOffset} LIMIT 2 HEX)
  if(NOT found STREQUAL machine)
    message(FATAL_ERROR "${program}.exe is built for machine ${found}, not ${machine}")
  endif()
endforeach()

# Each program carries its version resource, as Windows shows it in the
# file's properties: windres reads the resources back out of the packed
# program, as a resource script.
if(NOT WINDRES)
  message(FATAL_ERROR "no windres to read the programs' resources with (-DWINDRES=...)")
endif()
string(REPLACE "." ", " versionNumbers "${VERSION}")
set(description_vandormsg "Vandor! Message Reader")
set(description_vandormsg-archive "Vandor! Message Reader archive on the command line")
set(description_vandor-sim "Vandor! simulated game")
foreach(program vandormsg vandormsg-archive vandor-sim)
  execute_process(
    COMMAND ${WINDRES} -J coff -O rc -i ${unpacked}/${program}.exe
    RESULT_VARIABLE status OUTPUT_VARIABLE resources ERROR_VARIABLE log)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${WINDRES} cannot read the resources of ${program}.exe:\n${log}")
  endif()
  foreach(line
      "1 VERSIONINFO"
      " FILEVERSION ${versionNumbers}, 0"
      " PRODUCTVERSION ${versionNumbers}, 0"
      " FILETYPE 0x1"
      "BLOCK \"040904B0\""
      "VALUE \"CompanyName\", \"Vandor! Message Reader team\""
      "VALUE \"FileDescription\", \"${description_${program}}\""
      "VALUE \"FileVersion\", \"${VERSION}\""
      "VALUE \"InternalName\", \"${program}\""
      "VALUE \"LegalCopyright\", \"Copyright (c) 2026 The Vandor! Message Reader authors. MIT licence, see LICENSE.txt.\""
      "VALUE \"OriginalFilename\", \"${program}.exe\""
      "VALUE \"ProductName\", \"Vandor! Message Reader\""
      "VALUE \"ProductVersion\", \"${VERSION}\""
      "VALUE \"Translation\", 0x409, 1200")
    string(FIND "${resources}" "${line}\n" at)
    if(at LESS 0)
      string(REGEX MATCH "[0-9]+ VERSIONINFO.*" found "${resources}")
      message(FATAL_ERROR "the version resource of ${program}.exe lacks\n  ${line}\n"
                          "It reads:\n${found}")
    endif()
  endforeach()
endforeach()

# The command-line program runs from the unpacked folder, alone.
if("$ENV{VANDOR_RUN_PACKED}" STREQUAL "no")
  message(STATUS "${zip}: ${entries}; its programs are not run here")
  return()
endif()
execute_process(
  COMMAND ${BUILD_DIR}/wine-run ${unpacked}/vandormsg-archive.exe --help
  RESULT_VARIABLE status OUTPUT_VARIABLE help ERROR_VARIABLE log)
if(NOT status EQUAL 0 OR NOT help MATCHES "search \\[OPTIONS\\] TEXT")
  message(FATAL_ERROR "the packed vandormsg-archive.exe does not run: ${status}\n${help}${log}")
endif()
message(STATUS "${zip}: ${entries}")
