# Flags and helpers shared by every module of both trees.

option(QZ_SANITIZE "Native tree: build with AddressSanitizer and UBSan" ON)
option(QZ_FUZZ "Native tree: build the libFuzzer targets (clang only)" OFF)

# Debian's python3 before any other on the path: the fixtures compare with its zipfile.
find_program(QZ_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT QZ_PYTHON)
  find_program(QZ_PYTHON python3 REQUIRED)
endif()

set(QZ_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)

if(QZ_WINDOWS)
  # SSE2 rounding, so that layout and percentage formulas agree with the native tree.
  set(QZ_CXX_FLAGS -msse2 -mfpmath=sse)
  set(QZ_DEFINES UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX)
  set(QZ_LINK_FLAGS -static -static-libgcc -static-libstdc++)
else()
  set(QZ_CXX_FLAGS)
  set(QZ_DEFINES)
  set(QZ_LINK_FLAGS)
  if(QZ_SANITIZE)
    list(APPEND QZ_CXX_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
         -fno-omit-frame-pointer)
    list(APPEND QZ_LINK_FLAGS -fsanitize=address,undefined)
  endif()
endif()

# Applies the project's flags to one of its own targets.
function(qz_target_defaults target)
  target_compile_options(${target} PRIVATE ${QZ_WARNINGS} ${QZ_CXX_FLAGS})
  target_compile_definitions(${target} PUBLIC ${QZ_DEFINES})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR} ${QZ_GENERATED_INCLUDE})
  target_link_options(${target} PUBLIC ${QZ_LINK_FLAGS})
endfunction()

function(qz_quiet_third_party)
  foreach(t IN LISTS ARGN)
    target_compile_options(${t} PRIVATE ${QZ_CXX_FLAGS} -w)
    target_link_options(${t} PUBLIC ${QZ_LINK_FLAGS})
  endforeach()
endfunction()

# qz_library(NAME SOURCES a.cpp ... [WINDOWS_SOURCES ...] [POSIX_SOURCES ...] [LIBS ...])
function(qz_library name)
  cmake_parse_arguments(A "" "" "SOURCES;WINDOWS_SOURCES;POSIX_SOURCES;LIBS" ${ARGN})
  set(srcs ${A_SOURCES})
  if(QZ_WINDOWS)
    list(APPEND srcs ${A_WINDOWS_SOURCES})
  else()
    list(APPEND srcs ${A_POSIX_SOURCES})
  endif()
  add_library(${name} STATIC ${srcs})
  qz_target_defaults(${name})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()

# qz_test(NAME SOURCES ... [LIBS ...] [GUI])
# GUI tests open real windows; they share one display and run one at a time.
function(qz_test name)
  cmake_parse_arguments(A "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  qz_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${A_LIBS} gtest_main gtest)
  set(props)
  if(A_GUI)
    set(props PROPERTIES RESOURCE_LOCK display LABELS gui)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       ${props})
endfunction()

# qz_program(NAME SOURCES ... [LIBS ...] [OUTPUT_DIR dir]): a Windows GUI program,
# statically linked, with a wWinMain entry.
function(qz_program name)
  cmake_parse_arguments(A "" "OUTPUT_DIR" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} WIN32 ${A_SOURCES})
  qz_target_defaults(${name})
  target_link_options(${name} PRIVATE -municode)
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  if(A_OUTPUT_DIR)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${A_OUTPUT_DIR})
  endif()
endfunction()
