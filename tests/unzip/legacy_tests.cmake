# Tests of the shrink, reduce and implode decompressors, with test-only encoders.
list(APPEND QZ_UNZIP_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/legacy_codec_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unshrink_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unreduce_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/explode_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/legacy_extract_test.cpp
)
