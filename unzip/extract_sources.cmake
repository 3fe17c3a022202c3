# The extraction engine: one entry's extraction with its name checks, the reader and
# writer it shares with the decompressors, stream, memory and test output, stored and
# deflated data.
list(APPEND QZ_UNZIP_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/entry_path_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extract_entry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extract_io.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extract_output_modes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unstore_inflate.cpp
)
