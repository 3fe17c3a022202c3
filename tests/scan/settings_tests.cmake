# Settings, saved summary and setup hand-back (included from CMakeLists.txt).
qz_test(scan_settings_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/hand_back_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hand_back_cleanup_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_summary_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_values_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/product_key_environment.cpp
  LIBS qz_scan_main qz_test_support
)

# The window with the real registry of the test prefix and the real save dialog.
qz_test(scan_settings_window_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_window_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/product_key_environment.cpp
  LIBS qz_scan_main qz_test_support comctl32
  GUI
)

# The real program started and closed from the test, as the setup program would.
qz_test(scan_settings_program_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_program_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/product_key_environment.cpp
  LIBS qz_scan_main qz_test_support
  GUI
)
add_dependencies(scan_settings_program_tests Quorlix)
target_compile_definitions(scan_settings_program_tests PRIVATE
  QZ_QUORLIX_EXE="$<TARGET_FILE:Quorlix>")

# A symbolic link to save through, made here at every configure: Wine cannot make one,
# and a save that replaced the link by a file is undone the next time.
set(qz_summary_link_dir ${CMAKE_BINARY_DIR}/test-fixtures/summary_link)
file(MAKE_DIRECTORY ${qz_summary_link_dir})
file(CREATE_LINK target.txt ${qz_summary_link_dir}/link.txt SYMBOLIC)
target_compile_definitions(scan_settings_tests PRIVATE
  QZ_SUMMARY_LINK_DIR="${qz_summary_link_dir}")
