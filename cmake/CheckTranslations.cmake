# Runs lupdate over the program's sources into a copy of a translation file and fails when that adds,
# moves or drops a text: a text of the code that is not in the kept file would stay English.
# cmake -DLUPDATE=<lupdate> -DSOURCES=<list file> -DTS=<kept .ts> -DOUT=<scratch .ts> "-DOPTIONS=<options>"
#   -P CheckTranslations.cmake
file(COPY_FILE ${TS} ${OUT})
execute_process(COMMAND ${LUPDATE} @${SOURCES} ${OPTIONS} -ts ${OUT} RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${LUPDATE} failed (${result})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${TS} RESULT_VARIABLE differs)
if(differs)
  execute_process(COMMAND diff -u ${TS} ${OUT})
  message(FATAL_ERROR "${TS} is not current: run cmake --build <build folder> --target update_translations "
    "and translate the new texts")
endif()
