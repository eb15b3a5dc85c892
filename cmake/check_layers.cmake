# Checks that every source file includes only folders its layer may use:
#   cmake -DROOT=<source tree> -P check_layers.cmake
# Fails with one line per offending include.
#
# The layers, each using only those below it:
#   support <- cache <- reader <- archive <- app <- win32
# and beside them cli/ over archive/, sim/ over reader/, bench/ over all but
# win32/, fuzz/ over archive/. Tests (*_test.cpp and the test_*.h helpers)
# may also use sim/, the stand-in for the game. The headers of the Windows
# API are included in win32/ only. A folder with public headers of its own
# (FOLDER/include/FOLDER/) shows only those to the others: its other headers
# are internal to it.
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source tree> -P check_layers.cmake")
endif()

set(uses_support support)
set(uses_cache ${uses_support} cache)
set(uses_reader ${uses_cache} reader)
set(uses_archive ${uses_reader} archive)
set(uses_app ${uses_archive} app)
set(uses_win32 ${uses_app} win32 sim)
set(uses_cli ${uses_archive} cli)
set(uses_sim ${uses_reader} sim)
set(uses_bench ${uses_app} sim bench)
set(uses_fuzz ${uses_archive} fuzz)
set(folders support cache reader archive app win32 cli sim bench fuzz)

set(windowsHeaders windows.h windef.h winbase.h winuser.h wingdi.h commdlg.h commctrl.h
    windowsx.h shellapi.h shlobj.h objbase.h winsock2.h)

set(faults "")
set(checked 0)
foreach(folder ${folders})
  file(GLOB_RECURSE sources RELATIVE ${ROOT}
       ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.rc)
  foreach(source ${sources})
    math(EXPR checked "${checked} + 1")
    set(allowed ${uses_${folder}})
    get_filename_component(name ${source} NAME)
    if(name MATCHES "_test\\.cpp$" OR name MATCHES "^test_.*\\.h$")
      list(APPEND allowed sim)
    endif()
    file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line ${includes})
      if(line MATCHES "#[ \t]*include[ \t]*\"([a-z0-9_]+)/([^\"]+)\"")
        set(used ${CMAKE_MATCH_1})
        set(header ${CMAKE_MATCH_2})
        if(NOT used IN_LIST allowed)
          list(APPEND faults "${source}: includes ${used}/, which ${folder}/ may not use")
        elseif(NOT used STREQUAL folder AND IS_DIRECTORY ${ROOT}/${used}/include/${used}
               AND NOT EXISTS ${ROOT}/${used}/include/${used}/${header})
          list(APPEND faults "${source}: includes ${used}/${header}, internal to ${used}/")
        endif()
      elseif(line MATCHES "#[ \t]*include[ \t]*<([A-Za-z0-9_]+\\.h)>")
        string(TOLOWER ${CMAKE_MATCH_1} header)
        if(header IN_LIST windowsHeaders AND NOT folder STREQUAL "win32")
          list(APPEND faults "${source}: includes <${header}>, which belongs in win32/ only")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "no source files under ${ROOT}")
endif()
if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "includes across the layers:\n${text}")
endif()
message(STATUS "${checked} files include only what their layers may use")
