# Fails unless a built program carries a string resource with the given number and text.
# cmake -DWINDRES=<windres> -DEXE=<program> -DID=<number> -DTEXT=<text> -P check_resource_text.cmake
execute_process(COMMAND ${WINDRES} -i ${EXE} -O rc OUTPUT_VARIABLE rc_text RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot read the resources of ${EXE}")
endif()
string(FIND "${rc_text}" "  ${ID}, \"${TEXT}\"\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${EXE} lacks string ${ID} \"${TEXT}\"")
endif()
