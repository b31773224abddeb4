# Puts the settings file and the demo database into a program folder, each only when it is missing:
# both hold the dispatcher's state once the console has run, and a rebuild must not reset it.
# Arguments: FOLDER, INI_TEMPLATE, NEWDB (the new-database tool).
if(NOT EXISTS "${FOLDER}/Kestrova.ini")
    file(COPY "${INI_TEMPLATE}" DESTINATION "${FOLDER}")
endif()
if(NOT EXISTS "${FOLDER}/database/Kestrova.mdb")
    execute_process(COMMAND "${NEWDB}" --demo "${FOLDER}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "could not create the demo database in ${FOLDER}")
    endif()
endif()
