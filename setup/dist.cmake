# update.zip in dist/: the payload folder Files\ as it stands once the programs are
# built, with the setup program under the two names the update client starts it by.
set(qz_payload_parts ${QZ_DIST_DIR}/${QZ_PAYLOAD_FOLDER}/${QZ_HELP_FILE})

set(QZ_UPDATE_ZIP ${QZ_DIST_DIR}/update.zip)
add_custom_command(OUTPUT ${QZ_UPDATE_ZIP}
  COMMAND ${QZ_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/make_update_zip.py
          ${QZ_DIST_DIR} ${QZ_UPDATE_ZIP}
  DEPENDS Quorlix _setup ${qz_payload_parts} ${CMAKE_CURRENT_LIST_DIR}/make_update_zip.py
  COMMENT "Packing dist/update.zip"
  VERBATIM)
add_custom_target(qz_update_zip ALL DEPENDS ${QZ_UPDATE_ZIP})

# The help file's target is made by a folder added after this one.
function(qz_update_zip_after_payload)
  add_dependencies(qz_update_zip quorlix_help)
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL qz_update_zip_after_payload)
