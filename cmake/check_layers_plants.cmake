# The layer check against a small tree with bad includes planted in it:
#   cmake -DWORK=<scratch folder> -DCHECK=<check_layers.cmake> -P check_layers_plants.cmake
# Passes when the check fails and names every planted include, and passes a
# tree with the same files minus the plants.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})

# Includes every layer may make, and one bad one per rule.
file(WRITE ${WORK}/support/a.h "#include \"support/b.h\"\n#include <string>\n")
file(WRITE ${WORK}/app/a.cpp "#include \"archive/turn_store.h\"\n#include \"reader/x.h\"\n")
file(WRITE ${WORK}/app/a_test.cpp "#include \"sim/fake_game.h\"\n")
# The Windows header's name is put together, so that this file itself names
# no Windows header outside win32/.
set(windowsHeader "indows")
file(WRITE ${WORK}/win32/a.cpp "#include <w${windowsHeader}.h>\n#include \"app/x.h\"\n")
file(WRITE ${WORK}/cache/include/cache/table.h "#include \"support/b.h\"\n")
file(WRITE ${WORK}/cache/inner.cpp "#include \"cache/table.h\"\n#include \"cache/inner.h\"\n")
file(WRITE ${WORK}/reader/b.cpp "#include \"cache/table.h\"\n")

function(check expectFailure)
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${WORK} -P ${CHECK}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(report "${out}${err}" PARENT_SCOPE)
  if(expectFailure AND status EQUAL 0)
    message(FATAL_ERROR "the check passed a tree with bad includes:\n${out}${err}")
  elseif(NOT expectFailure AND NOT status EQUAL 0)
    message(FATAL_ERROR "the check failed a tree of good includes:\n${out}${err}")
  endif()
endfunction()

check(FALSE)

file(WRITE ${WORK}/reader/planted.cpp "#include \"archive/turn_store.h\"\n")
file(WRITE ${WORK}/archive/planted.h "  #  include \"app/user_interface.h\"\n")
file(WRITE ${WORK}/cache/planted.cpp "#include <W${windowsHeader}.h>\n")
file(WRITE ${WORK}/sim/planted.cpp "#include \"archive/file_system.h\"\n")
file(WRITE ${WORK}/reader/planted_test.cpp "#include \"app/user_interface.h\"\n")
file(WRITE ${WORK}/archive/planted_inner.cpp "#include \"cache/inner.h\"\n")
check(TRUE)
foreach(expected
    "reader/planted.cpp: includes archive/"
    "archive/planted.h: includes app/"
    "cache/planted.cpp: includes <windows.h>"
    "sim/planted.cpp: includes archive/"
    "reader/planted_test.cpp: includes app/"
    "archive/planted_inner.cpp: includes cache/inner.h, internal to cache/")
  string(FIND "${report}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the check did not name \"${expected}\":\n${report}")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
