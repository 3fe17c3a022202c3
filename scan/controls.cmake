# The grid and gradient controls of the main window (included from CMakeLists.txt).
qz_library(qz_scan_controls
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/xr_consts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xr_ex_controls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xr_gradient.cpp
    ${CMAKE_CURRENT_LIST_DIR}/xr_grid.cpp
  LIBS qz_ui qz_base
)

# The colour tables' descriptions, a string table that each program showing the
# controls carries: qz_scan_controls_add_resources(TARGET).
enable_language(RC)
set(QZ_SCAN_CONTROLS_RC ${CMAKE_CURRENT_LIST_DIR}/xr_consts.rc CACHE INTERNAL "")
function(qz_scan_controls_add_resources target)
  target_sources(${target} PRIVATE ${QZ_SCAN_CONTROLS_RC})
  set_source_files_properties(${QZ_SCAN_CONTROLS_RC} PROPERTIES
    OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/scan/xr_consts_res.h)
endfunction()
