# The main window's help, web-site, about and update commands (included after main.cmake).
set(QZ_UPDATE_HOST "www.quorlix.example" CACHE STRING
    "Host (and optional :port) of the update server holding the version file")

target_sources(qz_scan_main PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/main_menu_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/menu_links.cpp
  ${CMAKE_CURRENT_LIST_DIR}/html_help.cpp
  ${CMAKE_CURRENT_LIST_DIR}/about_form.cpp
)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/menu_links.cpp PROPERTIES
  COMPILE_DEFINITIONS "QZ_UPDATE_HOST=\"${QZ_UPDATE_HOST}\"")
target_link_libraries(qz_scan_main PUBLIC qz_update shell32)
