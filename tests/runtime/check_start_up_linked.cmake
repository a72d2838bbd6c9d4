# Usage: cmake -DNM=<nm> -DPROGRAM=<program> -P check_start_up_linked.cmake
# Fails unless PROGRAM contains the library's start-up routine.
execute_process(COMMAND ${NM} -C ${PROGRAM}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${PROGRAM}: ${errors}")
endif()
string(FIND "${symbols}" "kwCore::runStartUp()" found)
if(found EQUAL -1)
    message(FATAL_ERROR "${PROGRAM} lacks kwCore::runStartUp(): the start-up state is never set up")
endif()
message(STATUS "${PROGRAM} contains kwCore::runStartUp()")
