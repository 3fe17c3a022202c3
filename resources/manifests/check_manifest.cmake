# Reads the resources of a built program and fails unless it carries its manifest with
# the execution level given, common controls 6 of the program's own processor (read from
# its PE header), Windows 7 to 11 and no DPI awareness.
# cmake -DWINDRES=<windres> -DEXE=<program> -DLEVEL=<level> -P check_manifest.cmake
execute_process(COMMAND ${WINDRES} -i ${EXE} -O rc OUTPUT_VARIABLE rc_text RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot read the resources of ${EXE}")
endif()
# The manifest resource: "1 24" then its text as quoted lines, quotes doubled.
string(REGEX MATCH "\n1 24[^\n]*\nBEGIN\n(([^\n]*\n)*)END" found "${rc_text}")
if(NOT found)
  message(FATAL_ERROR "${EXE} carries no application manifest")
endif()
set(manifest "${CMAKE_MATCH_1}")
string(REPLACE "\"\"" "'" manifest "${manifest}")
# The PE header's offset is at 0x3C; its machine field follows the 4-byte signature.
file(READ ${EXE} pe_offset OFFSET 60 LIMIT 4 HEX)
string(REGEX REPLACE "^(..)(..)(..)(..)$" "\\4\\3\\2\\1" pe_offset "${pe_offset}")
math(EXPR machine_at "0x${pe_offset} + 4")
file(READ ${EXE} machine OFFSET ${machine_at} LIMIT 2 HEX)
if(machine STREQUAL "4c01")
  set(arch x86)
elseif(machine STREQUAL "6486")
  set(arch amd64)
else()
  message(FATAL_ERROR "${EXE}: unknown PE machine ${machine}")
endif()
set(wanted
  "requestedExecutionLevel level='${LEVEL}'"
  "name='Microsoft.Windows.Common-Controls' version='6.0.0.0' processorArchitecture='${arch}'"
  "supportedOS Id='{35138b9a-5d96-4fbd-8e2d-a2440225f93a}'"
  "supportedOS Id='{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'")
foreach(w IN LISTS wanted)
  string(FIND "${manifest}" "${w}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the manifest of ${EXE} lacks ${w}:\n${manifest}")
  endif()
endforeach()
if(manifest MATCHES "dpiAware")
  message(FATAL_ERROR "the manifest of ${EXE} declares DPI awareness")
endif()
