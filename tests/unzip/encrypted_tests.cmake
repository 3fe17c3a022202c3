# Tests of encrypted archives made by zip and 7zz. The archives, patched variants of
# them and what 7zz extracts from them are written at build time into the build tree.
find_program(QZ_ENCRYPTED_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT QZ_ENCRYPTED_PYTHON)
  find_program(QZ_ENCRYPTED_PYTHON python3 REQUIRED)
endif()
set(QZ_ENCRYPTED_FIXTURES ${CMAKE_CURRENT_BINARY_DIR}/encrypted_fixtures)
add_custom_command(
  OUTPUT ${QZ_ENCRYPTED_FIXTURES}/fixtures.stamp
  COMMAND ${QZ_ENCRYPTED_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/fixtures/make_encrypted_fixtures.py
          ${QZ_ENCRYPTED_FIXTURES}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fixtures/make_encrypted_fixtures.py
          ${CMAKE_CURRENT_LIST_DIR}/fixtures/zip_layout.py
  COMMENT "Writing the encrypted archive fixtures"
  VERBATIM)
add_custom_target(unzip_encrypted_fixtures DEPENDS ${QZ_ENCRYPTED_FIXTURES}/fixtures.stamp)
set(QZ_ENCRYPTED_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/encrypted_fixture_test.cpp
)
set_source_files_properties(${QZ_ENCRYPTED_TEST_SOURCES} PROPERTIES
  COMPILE_DEFINITIONS "QZ_ENCRYPTED_FIXTURES=\"${QZ_ENCRYPTED_FIXTURES}\"")
list(APPEND QZ_UNZIP_TEST_SOURCES ${QZ_ENCRYPTED_TEST_SOURCES}
     ${QZ_ENCRYPTED_FIXTURES}/fixtures.stamp)
