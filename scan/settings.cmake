# Settings, saved summary and setup hand-back of the main window (included from
# CMakeLists.txt after main.cmake; main_settings.cpp and main_hand_back.cpp are
# compiled by main.cmake).
target_sources(qz_scan_main PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/hand_back.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/summary_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/update_cleanup.cpp
)
