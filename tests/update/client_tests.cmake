# The update client against a local HTTP server (started and stopped around the tests by
# a CTest fixture); the archives it downloads carry the command line stub in place of the
# setup program.

set(QZ_UPDATE_SERVER_STATE ${CMAKE_CURRENT_BINARY_DIR}/update-server)
add_custom_command(
  OUTPUT ${QZ_UPDATE_SERVER_STATE}/www/update.zip ${QZ_UPDATE_SERVER_STATE}/www/nosetup.zip
         ${QZ_UPDATE_SERVER_STATE}/www/traversal.zip ${QZ_UPDATE_SERVER_STATE}/www/Update.EXE
         ${QZ_UPDATE_SERVER_STATE}/www/unknown.zip ${QZ_UPDATE_SERVER_STATE}/www/damaged.zip
  COMMAND ${QZ_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/make_update_archives.py
          ${QZ_UPDATE_SERVER_STATE}/www $<TARGET_FILE:qz_command_line_stub>
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_update_archives.py qz_command_line_stub
  COMMENT "Update archives for the update client's tests")
add_custom_target(qz_update_archives ALL DEPENDS ${QZ_UPDATE_SERVER_STATE}/www/update.zip)

add_executable(update_client_tests ${CMAKE_CURRENT_LIST_DIR}/xr_update_test.cpp)
qz_target_defaults(update_client_tests)
target_link_libraries(update_client_tests PRIVATE qz_update qz_test_support gtest_main gtest)
target_compile_definitions(update_client_tests PRIVATE
  QZ_UPDATE_SERVER_STATE="${QZ_UPDATE_SERVER_STATE}")
add_dependencies(update_client_tests qz_update_archives)
gtest_discover_tests(update_client_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                     PROPERTIES FIXTURES_REQUIRED update_http_server RESOURCE_LOCK display
                                LABELS gui)

set(server ${QZ_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/../net/http_test_server.py)
add_test(NAME update_http_server_start COMMAND ${server} start ${QZ_UPDATE_SERVER_STATE})
add_test(NAME update_http_server_stop COMMAND ${server} stop ${QZ_UPDATE_SERVER_STATE})
set_tests_properties(update_http_server_start PROPERTIES FIXTURES_SETUP update_http_server)
set_tests_properties(update_http_server_stop PROPERTIES FIXTURES_CLEANUP update_http_server)
