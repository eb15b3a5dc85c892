# Runs a program that must fail in a given way, for CTest:
#   cmake -DPROGRAM=... [-DEMULATOR=...] -DARGUMENT=... -DEXIT=N -DERROR=REGEX
#         [-DSTDOUT=FILE] -P expect_failure.cmake
# Passes when the program exits with status EXIT, writes nothing to stdout
# and writes a message matching REGEX to stderr. ARGUMENT may be a list;
# with STDOUT, the program's output goes to FILE (/dev/full: a full disk). (A test that only expects
# some failure would also pass for a program that cannot even start.)
cmake_minimum_required(VERSION 3.25)
set(command ${PROGRAM} ${ARGUMENT})
if(EMULATOR)
  set(command ${EMULATOR} ${command})
endif()
if(STDOUT)
  execute_process(COMMAND ${command}
    RESULT_VARIABLE status OUTPUT_FILE ${STDOUT} ERROR_VARIABLE err)
  set(out "")
else()
  execute_process(COMMAND ${command}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
endif()
if(NOT status STREQUAL EXIT)
  message(FATAL_ERROR "exit status ${status} instead of ${EXIT}\nstdout: ${out}\nstderr: ${err}")
endif()
if(NOT out STREQUAL "")
  message(FATAL_ERROR "wrote to stdout: ${out}")
endif()
if(NOT err MATCHES "${ERROR}")
  message(FATAL_ERROR "stderr does not match \"${ERROR}\": ${err}")
endif()
