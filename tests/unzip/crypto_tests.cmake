# Tests of the wildcard matcher with entry selection, of the hashes and cipher behind AES
# encrypted entries, of the traditional PKWARE cipher, and of extracting encrypted entries.
set(QZ_CRYPTO_TEST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/wildcard_match_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/selection_match_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/crypto_primitives_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zip_aes_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pkware_cipher_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/entry_decrypt_test.cpp
)
# The selection test reads the directory fixtures.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/selection_match_test.cpp PROPERTIES
  COMPILE_DEFINITIONS "QZ_DIRECTORY_FIXTURES=\"${QZ_DIRECTORY_FIXTURES}\"")
list(APPEND QZ_UNZIP_TEST_SOURCES ${QZ_CRYPTO_TEST_SOURCES})
