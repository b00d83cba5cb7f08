# Runs a generator and fails when its output differs from the file kept in the repository.
# cmake -DTOOL=<generator> -DDOC=<kept file> -DOUT=<scratch file> -P CompareGenerated.cmake
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TOOL} failed (${result})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${DOC} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${DOC} is not current: run ${TOOL} ${DOC}")
endif()
