# cmake -DPYTHON=... -DGENERATOR=gen.py -DTABLE=table.inc -DOUT=fresh.inc -P this
# Fails when the committed table is not what its generator writes today.
execute_process(COMMAND ${PYTHON} ${GENERATOR} OUTPUT_FILE ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${TABLE} RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "${TABLE} differs from what ${GENERATOR} writes (see ${OUT}); "
                      "regenerate it")
endif()
