# Application manifests of both programs: common controls 6, Windows 7 to 11, no DPI
# awareness declared (the forms are laid out in pixels), and the execution level each
# program asks for. qz_add_manifest(TARGET PROGRAM LEVEL) binds one into an executable.
enable_language(RC)
set(QZ_MANIFEST_DIR ${CMAKE_CURRENT_LIST_DIR} CACHE INTERNAL "")
# The side-by-side loader binds the common controls of the processor named here: a 64-bit
# program that names x86 gets the 32-bit library and cannot start.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(QZ_MANIFEST_ARCH amd64 CACHE INTERNAL "")
else()
  set(QZ_MANIFEST_ARCH x86 CACHE INTERNAL "")
endif()

function(qz_add_manifest target program level)
  set(QZ_MANIFEST_PROGRAM ${program})
  set(QZ_MANIFEST_LEVEL ${level})
  set(out ${CMAKE_BINARY_DIR}/resources/manifests/${program})
  set(QZ_MANIFEST_FILE ${out}.manifest)
  configure_file(${QZ_MANIFEST_DIR}/manifest.xml.in ${QZ_MANIFEST_FILE} @ONLY)
  configure_file(${QZ_MANIFEST_DIR}/manifest.rc.in ${out}.rc @ONLY)
  target_sources(${target} PRIVATE ${out}.rc)
  set_source_files_properties(${out}.rc PROPERTIES OBJECT_DEPENDS ${QZ_MANIFEST_FILE})
  add_test(NAME manifest_of_${program}
    COMMAND ${CMAKE_COMMAND} -DWINDRES=${CMAKE_RC_COMPILER} -DEXE=$<TARGET_FILE:${target}>
            -DLEVEL=${level} -P ${QZ_MANIFEST_DIR}/check_manifest.cmake)
endfunction()
