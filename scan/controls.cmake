# The grid and gradient controls of the main window (included from CMakeLists.txt).
qz_library(qz_scan_controls
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/xr_consts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xr_ex_controls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xr_gradient.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xr_grid.cpp
  LIBS qz_ui qz_base
)
