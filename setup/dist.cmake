# update.zip in dist/: the payload folder Files\ as it stands once the programs are
# built, with the setup program under the two names the update client starts it by.
find_program(QZ_DIST_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT QZ_DIST_PYTHON)
  find_program(QZ_DIST_PYTHON python3 REQUIRED)
endif()

# The help file joins the payload when its folder is part of the build.
set(qz_payload_parts)
if(EXISTS ${CMAKE_SOURCE_DIR}/resources/help/CMakeLists.txt)
  list(APPEND qz_payload_parts ${QZ_DIST_DIR}/Files/Quorlix.chm)
endif()

set(QZ_UPDATE_ZIP ${QZ_DIST_DIR}/update.zip)
add_custom_command(OUTPUT ${QZ_UPDATE_ZIP}
  COMMAND ${QZ_DIST_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/make_update_zip.py
          ${QZ_DIST_DIR} ${QZ_UPDATE_ZIP}
  DEPENDS Quorlix _setup ${qz_payload_parts} ${CMAKE_CURRENT_LIST_DIR}/make_update_zip.py
  COMMENT "Packing dist/update.zip"
  VERBATIM)
add_custom_target(qz_update_zip ALL DEPENDS ${QZ_UPDATE_ZIP})

# The help file's target is made by a folder added after this one.
function(qz_update_zip_after_payload)
  if(TARGET quorlix_help)
    add_dependencies(qz_update_zip quorlix_help)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL qz_update_zip_after_payload)
