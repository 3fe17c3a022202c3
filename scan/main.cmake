# The main window and its summary logic (included from CMakeLists.txt); the window's
# settings and hand-back files add their helpers in settings.cmake.
qz_library(qz_scan_main
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/folder_walk_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_hand_back.cpp
    ${CMAKE_CURRENT_LIST_DIR}/repaint_cadence.cpp
    ${CMAKE_CURRENT_LIST_DIR}/scan_model.cpp
    ${CMAKE_CURRENT_LIST_DIR}/summary_list.cpp
    ${CMAKE_CURRENT_LIST_DIR}/summary_sort.cpp
    ${CMAKE_CURRENT_LIST_DIR}/summary_text.cpp
  LIBS qz_scan_controls qz_common qz_ui qz_base
)
