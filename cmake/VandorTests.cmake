# vandor_add_test(NAME SOURCES ... LIBRARIES ... [TIMEOUT SECONDS])
#
# Builds a GoogleTest program and registers it with CTest. Natively every
# test case becomes a CTest test of its own; in the Windows tree the program
# is one CTest test, run under Wine (starting Wine once per test case would
# take most of the time). TIMEOUT limits each native test case (CTest's
# default otherwise).
#
# Natively each test case also carries the program's name as a label, so
# that `ctest -L` can pick the cases of the programs just built
# (tools/mutate.sh does).
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
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_LIST ${name}_TESTS
                         PROPERTIES LABELS native ${limit})
    # The second label: gtest_discover_tests passes each property one value.
    # This file is read after the one that defines the discovered tests.
    set(labels ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
    file(WRITE ${labels}
         "if(${name}_TESTS)\n"
         "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"native;${name}\")\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${labels})
  endif()
endfunction()
