# The main window's help, web-site, about and update commands (included from
# CMakeLists.txt). The update check runs against a local HTTP server of its own, whose
# archive carries the command line stub in place of the setup program.
set(qz_menus_server ${CMAKE_CURRENT_BINARY_DIR}/menus-update-server)
add_custom_command(
  OUTPUT ${qz_menus_server}/www/update.zip
  COMMAND ${QZ_PYTHON} ${CMAKE_SOURCE_DIR}/tests/update/make_update_archives.py
          ${qz_menus_server}/www $<TARGET_FILE:qz_command_line_stub>
  DEPENDS ${CMAKE_SOURCE_DIR}/tests/update/make_update_archives.py qz_command_line_stub
  COMMENT "Update archives for the menu command tests")
add_custom_target(qz_menus_update_archives ALL DEPENDS ${qz_menus_server}/www/update.zip)

add_executable(scan_menu_commands_tests ${CMAKE_CURRENT_LIST_DIR}/menu_commands_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/product_key_environment.cpp)
qz_target_defaults(scan_menu_commands_tests)
target_link_libraries(scan_menu_commands_tests PRIVATE
  qz_scan_main qz_test_support ZLIB::ZLIB gtest_main gtest)
target_compile_definitions(scan_menu_commands_tests PRIVATE
  QZ_HELP_FILE="${QZ_DIST_DIR}/${QZ_PAYLOAD_FOLDER}/${QZ_HELP_FILE}" QZ_MENUS_SERVER_STATE="${qz_menus_server}")
add_dependencies(scan_menu_commands_tests qz_menus_update_archives quorlix_help)
gtest_discover_tests(scan_menu_commands_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES RESOURCE_LOCK display LABELS gui FIXTURES_REQUIRED menus_http_server TIMEOUT 120)

set(qz_menus_server_cmd ${QZ_PYTHON} ${CMAKE_SOURCE_DIR}/tests/net/http_test_server.py)
add_test(NAME menus_http_server_start COMMAND ${qz_menus_server_cmd} start ${qz_menus_server})
add_test(NAME menus_http_server_stop COMMAND ${qz_menus_server_cmd} stop ${qz_menus_server})
set_tests_properties(menus_http_server_start PROPERTIES FIXTURES_SETUP menus_http_server)
set_tests_properties(menus_http_server_stop PROPERTIES FIXTURES_CLEANUP menus_http_server)
