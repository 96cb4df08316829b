# Makes the default question file unless one is there already.
if(EXISTS "${OUT}")
    return()
endif()
execute_process(COMMAND "${QUIZDB}" create "${OUT}" "${CSV}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    file(REMOVE "${OUT}")
    message(FATAL_ERROR "Die Fragendatei ${OUT} konnte nicht aus ${CSV} erstellt werden.")
endif()
