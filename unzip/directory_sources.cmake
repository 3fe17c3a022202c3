# Entry headers, end records, the sorted entry list and the component that reads
# archive directories and selects entries.
list(APPEND QZ_UNZIP_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/unzip_messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zip_signatures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zip_header.cpp
  ${CMAKE_CURRENT_LIST_DIR}/end_central.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sorted_zip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/selection_match.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xr_unzip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zip_directory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/multi_part.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive_parts.cpp
)
