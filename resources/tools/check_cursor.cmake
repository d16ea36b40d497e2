# Fails when hand.cur is not what the picture makes (rebuild it with the
# regenerate_cursor target after editing hand_cursor.txt).
execute_process(COMMAND ${TOOL} ${PICTURE} ${OUTPUT} RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "make_cursor failed on ${PICTURE}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${CURSOR} RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${CURSOR} differs from the picture in ${PICTURE}: build regenerate_cursor")
endif()
