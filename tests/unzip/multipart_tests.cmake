# Tests of split and spanned archives. The part sets (zip -s, renamed, cut by hand)
# and what 7zz extracts from them are written at build time into the build tree.
find_program(QZ_SPLIT_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT QZ_SPLIT_PYTHON)
  find_program(QZ_SPLIT_PYTHON python3 REQUIRED)
endif()
set(QZ_SPLIT_FIXTURES ${CMAKE_CURRENT_BINARY_DIR}/split_fixtures)
add_custom_command(
  OUTPUT ${QZ_SPLIT_FIXTURES}/fixtures.stamp
  COMMAND ${QZ_SPLIT_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/fixtures/make_split_fixtures.py
          ${QZ_SPLIT_FIXTURES}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fixtures/make_split_fixtures.py
          ${CMAKE_CURRENT_LIST_DIR}/fixtures/zip_layout.py
  COMMENT "Writing the split archive fixtures"
  VERBATIM)
add_custom_target(unzip_split_fixtures DEPENDS ${QZ_SPLIT_FIXTURES}/fixtures.stamp)
set(QZ_SPLIT_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/multi_part_test.cpp
)
set_source_files_properties(${QZ_SPLIT_TEST_SOURCES} PROPERTIES
  COMPILE_DEFINITIONS "QZ_SPLIT_FIXTURES=\"${QZ_SPLIT_FIXTURES}\"")
list(APPEND QZ_UNZIP_TEST_SOURCES ${QZ_SPLIT_TEST_SOURCES} ${QZ_SPLIT_FIXTURES}/fixtures.stamp)
