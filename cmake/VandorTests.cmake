# vandor_add_test(NAME SOURCES ... LIBRARIES ... [TIMEOUT SECONDS])
#
# Builds a GoogleTest program and registers it with CTest. Natively every
# test case becomes a CTest test of its own; in the Windows tree the program
# is one CTest test, run under Wine (starting Wine once per test case would
# take most of the time). TIMEOUT limits each native test case (CTest's
# default otherwise).
include(GoogleTest)

function(vandor_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gmock GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS windows TIMEOUT 600)
  else()
    set(limit "")
    if(ARG_TIMEOUT)
      set(limit TIMEOUT ${ARG_TIMEOUT})
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native ${limit})
  endif()
endfunction()
