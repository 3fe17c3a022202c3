# The decompressors of the older methods: shrink, reduce and implode.
list(APPEND QZ_UNZIP_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/unshrink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unreduce.cpp
  ${CMAKE_CURRENT_LIST_DIR}/explode_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/explode.cpp
)
