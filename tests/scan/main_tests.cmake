# Tests of the main window's scan and summary grid (included from CMakeLists.txt).
qz_test(scan_summary_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/summary_text_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/summary_list_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scan_model_test.cpp
  LIBS qz_scan_main qz_test_support
)

# The tree the window tests scan, generated natively before them (links, attributes
# and sparse files cannot be made from inside Wine).
set(qz_scan_tree ${CMAKE_BINARY_DIR}/test-scratch/scan_tree)
add_test(NAME scan_tree_fixture
  COMMAND ${QZ_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/make_scan_tree.py ${qz_scan_tree})
set_tests_properties(scan_tree_fixture PROPERTIES FIXTURES_SETUP scan_tree)

add_executable(scan_main_window_tests ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/product_key_environment.cpp)
qz_target_defaults(scan_main_window_tests)
target_link_libraries(scan_main_window_tests PRIVATE
  qz_scan_main qz_test_support ZLIB::ZLIB gtest_main gtest)
target_compile_definitions(scan_main_window_tests PRIVATE
  QZ_SCAN_TREE="${qz_scan_tree}" QZ_ARTIFACT_DIR="${CMAKE_BINARY_DIR}/artifacts")
gtest_discover_tests(scan_main_window_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES RESOURCE_LOCK display LABELS gui FIXTURES_REQUIRED scan_tree)

# The real program driven from outside: a separate driver program under the same
# Wine server finds windows and clicks, xdotool works the menu by keyboard.
add_executable(quorlix_driver ${CMAKE_CURRENT_LIST_DIR}/quorlix_driver_win.cpp)
qz_target_defaults(quorlix_driver)
target_link_options(quorlix_driver PRIVATE -municode)
target_link_libraries(quorlix_driver PRIVATE qz_test_support user32 comctl32)
add_test(NAME quorlix_exe_scan_and_save
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/quorlix_exe_test.sh ${QZ_WINE}
    $<TARGET_FILE:Quorlix> $<TARGET_FILE:quorlix_driver>
    ${CMAKE_BINARY_DIR}/test-scratch/quorlix_exe)
set_tests_properties(quorlix_exe_scan_and_save PROPERTIES
  RESOURCE_LOCK display LABELS gui TIMEOUT 120)
