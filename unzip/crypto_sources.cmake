# The wildcard matcher that selects entries, the hashes and cipher behind AES encrypted
# entries, the traditional PKWARE cipher, and the decryption of an entry being extracted.
list(APPEND QZ_UNZIP_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/wildcard_match.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sha1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hmac_sha1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pbkdf2_sha1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/aes_block.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zip_aes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pkware_cipher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/entry_decrypt.cpp
)
