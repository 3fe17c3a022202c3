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
# Folder links for the tests of where extracted files go, made here: a Windows test
# under Wine cannot make one. "dest/link" leads out of "dest"; "alias" is another way
# into "archive_folder".
set(QZ_LINK_FIXTURES ${CMAKE_CURRENT_BINARY_DIR}/link_fixtures)
file(MAKE_DIRECTORY ${QZ_LINK_FIXTURES}/dest ${QZ_LINK_FIXTURES}/outside
     ${QZ_LINK_FIXTURES}/archive_folder)
file(CREATE_LINK ../outside ${QZ_LINK_FIXTURES}/dest/link SYMBOLIC)
file(CREATE_LINK archive_folder ${QZ_LINK_FIXTURES}/alias SYMBOLIC)
set(QZ_EXTRACT_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/extract_test_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/entry_path_check_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extract_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extract_io_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extract_fixture_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extract_output_modes_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extract_target_test.cpp
)
set_source_files_properties(${QZ_EXTRACT_TEST_SOURCES} PROPERTIES
  COMPILE_DEFINITIONS "QZ_EXTRACT_FIXTURES=\"${QZ_EXTRACT_FIXTURES}\";QZ_LINK_FIXTURES=\"${QZ_LINK_FIXTURES}\"")
list(APPEND QZ_UNZIP_TEST_SOURCES ${QZ_EXTRACT_TEST_SOURCES} ${QZ_EXTRACT_FIXTURES}/fixtures.stamp)
