# The zip library's file routines, host hooks, buffered streams and object lists.
list(APPEND QZ_UNZIP_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/host_hooks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zip_file_routines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zip_lib_routines.cpp
)
list(APPEND QZ_UNZIP_WINDOWS_SOURCES ${CMAKE_CURRENT_LIST_DIR}/zip_file_routines_win.cpp)
list(APPEND QZ_UNZIP_POSIX_SOURCES ${CMAKE_CURRENT_LIST_DIR}/zip_file_routines_posix.cpp)
list(APPEND QZ_UNZIP_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/buffer_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lfn_file_stream.cpp
)
list(APPEND QZ_UNZIP_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/object_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/class_registry.cpp
)
