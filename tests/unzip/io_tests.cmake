# Tests of the zip library's file routines, host hooks, buffered streams and lists.
list(APPEND QZ_UNZIP_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/zip_file_routines_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zip_lib_routines_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_hooks_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/buffer_stream_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lfn_file_stream_test.cpp
)
list(APPEND QZ_UNZIP_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/object_list_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/class_registry_test.cpp
)
