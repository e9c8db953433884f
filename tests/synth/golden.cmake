# Renders SONG with kusolvanta-render --raw for one second and compares it with EXPECTED byte for byte.
execute_process(COMMAND ${RENDER} --song ${SONG} --seconds 1 --raw --output ${ACTUAL} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "kusolvanta-render failed (${rc})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${ACTUAL} ${EXPECTED} RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "${ACTUAL} differs from ${EXPECTED}: the sound changed")
endif()
