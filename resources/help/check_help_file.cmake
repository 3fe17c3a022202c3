# Lists the compiled help file with 7-Zip and fails when a page is missing.
# cmake -DCHM=<file> -DPAGES=<page;...> -P check_help_file.cmake
find_program(SEVEN_ZIP NAMES 7zz 7z REQUIRED)
execute_process(COMMAND ${SEVEN_ZIP} l ${CHM} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${CHM} cannot be read as a compiled help file")
endif()
foreach(page IN LISTS PAGES)
  if(NOT listing MATCHES "[ /]${page}\n")
    message(FATAL_ERROR "${CHM} lacks ${page}:\n${listing}")
  endif()
endforeach()
