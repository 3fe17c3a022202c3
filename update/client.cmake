# The update client and its progress window (included from CMakeLists.txt).
qz_library(qz_update
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/xr_update.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress_form.cpp
  LIBS qz_update_logic qz_net qz_support qz_unzip qz_common qz_ui qz_base shell32
)
