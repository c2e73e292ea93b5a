# Runs quintora-keys with the documented examples and compares its output.
# RUN: what runs the program (wine in a Windows build), if anything.
execute_process(
  COMMAND ${RUN} ${KEYS} "5 + 3 =" "1 / 3 =" "1 0 0 0 0 0 0 0 X 1 0 0 0 0 0 0 0 0 =" "5 M+ MR" "CE" "5 / 0 ="
  OUTPUT_VARIABLE actual RESULT_VARIABLE status)
string(REPLACE "\r\n" "\n" actual "${actual}")
file(READ ${EXPECTED} expected)
if(NOT status EQUAL 0 OR NOT actual STREQUAL expected)
  message(FATAL_ERROR "status ${status}, output:\n${actual}\nexpected:\n${expected}")
endif()

execute_process(COMMAND ${RUN} ${KEYS} "1 +" "2 nope 3"
  OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status)
string(REPLACE "\r\n" "\n" errors "${errors}")
if(NOT status EQUAL 2 OR NOT errors STREQUAL "quintora-keys: unknown key 'nope'\n")
  message(FATAL_ERROR "unknown key: status ${status}, stderr '${errors}'")
endif()

execute_process(COMMAND ${RUN} ${KEYS} INPUT_FILE ${CMAKE_CURRENT_LIST_DIR}/harness_stdin.txt
  OUTPUT_VARIABLE actual RESULT_VARIABLE status)
string(REGEX MATCHALL "\n" lines "${actual}")
list(LENGTH lines count)
if(NOT status EQUAL 0 OR NOT count EQUAL 3)
  message(FATAL_ERROR "standard input: status ${status}, output:\n${actual}")
endif()
