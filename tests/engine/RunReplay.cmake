# Feeds one game to the replay tool and compares its output with the expected text.
# With KESTROVA_REFRESH_GOLDEN set in the environment, writes the output over the expected file
# instead: for an intended change of the engine's output, reviewed with git diff afterwards.
execute_process(COMMAND ${REPLAY} INPUT_FILE ${INPUT} OUTPUT_VARIABLE actual RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "replay exited with ${rc}")
endif()
if(DEFINED ENV{KESTROVA_REFRESH_GOLDEN})
  file(WRITE ${EXPECTED} "${actual}")
  message(STATUS "rewrote ${EXPECTED}")
  return()
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  file(WRITE ${ACTUAL} "${actual}")
  message(FATAL_ERROR "output differs from ${EXPECTED}; got ${ACTUAL}")
endif()
