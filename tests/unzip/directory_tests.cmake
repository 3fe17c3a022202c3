# Tests of the entry headers, end records, sorted list and directory reader. The
# fixture archives are written at build time into the build tree, where both the
# native and the Windows tests (through drive Z:) read them.
# Debian's python3: its zipfile is what the listings are compared with.
find_program(QZ_FIXTURE_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT QZ_FIXTURE_PYTHON)
  find_program(QZ_FIXTURE_PYTHON python3 REQUIRED)
endif()
set(QZ_DIRECTORY_FIXTURES ${CMAKE_CURRENT_BINARY_DIR}/fixtures)
add_custom_command(
  OUTPUT ${QZ_DIRECTORY_FIXTURES}/fixtures.stamp
  COMMAND ${QZ_FIXTURE_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/fixtures/make_directory_fixtures.py
          ${QZ_DIRECTORY_FIXTURES}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fixtures/make_directory_fixtures.py
  COMMENT "Writing the zip directory fixtures"
  VERBATIM)
add_custom_target(unzip_directory_fixtures DEPENDS ${QZ_DIRECTORY_FIXTURES}/fixtures.stamp)
set(QZ_DIRECTORY_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/zip_builder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unzip_test_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zip_header_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/end_central_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sorted_zip_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xr_unzip_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zip_directory_test.cpp
)
set_source_files_properties(${QZ_DIRECTORY_TEST_SOURCES} PROPERTIES
  COMPILE_DEFINITIONS "QZ_DIRECTORY_FIXTURES=\"${QZ_DIRECTORY_FIXTURES}\"")
# The stamp as a source makes the test executable depend on the fixtures.
list(APPEND QZ_UNZIP_TEST_SOURCES ${QZ_DIRECTORY_TEST_SOURCES}
  ${QZ_DIRECTORY_FIXTURES}/fixtures.stamp)
