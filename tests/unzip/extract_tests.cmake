# Tests of the extraction engine. Archives made by zip, 7zz and python's zipfile, with
# what unzip extracts from them, are written at build time into the build tree.
find_program(QZ_EXTRACT_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT QZ_EXTRACT_PYTHON)
  find_program(QZ_EXTRACT_PYTHON python3 REQUIRED)
endif()
set(QZ_EXTRACT_FIXTURES ${CMAKE_CURRENT_BINARY_DIR}/extract_fixtures)
add_custom_command(
  OUTPUT ${QZ_EXTRACT_FIXTURES}/fixtures.stamp
  COMMAND ${QZ_EXTRACT_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/fixtures/make_extract_fixtures.py
          ${QZ_EXTRACT_FIXTURES}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fixtures/make_extract_fixtures.py
  COMMENT "Writing the zip extraction fixtures"
  VERBATIM)
add_custom_target(unzip_extract_fixtures DEPENDS ${QZ_EXTRACT_FIXTURES}/fixtures.stamp)
set(QZ_EXTRACT_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/extract_test_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/entry_path_check_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extract_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extract_io_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extract_fixture_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extract_output_modes_test.cpp
)
set_source_files_properties(${QZ_EXTRACT_TEST_SOURCES} PROPERTIES
  COMPILE_DEFINITIONS "QZ_EXTRACT_FIXTURES=\"${QZ_EXTRACT_FIXTURES}\"")
list(APPEND QZ_UNZIP_TEST_SOURCES ${QZ_EXTRACT_TEST_SOURCES} ${QZ_EXTRACT_FIXTURES}/fixtures.stamp)
