# The setup program's resources: pictures drawn by ImageMagick at build time and the
# resource script that binds them with the licence text; qz_setup_add_resources adds
# them to every executable that shows the wizard.
find_program(QZ_CONVERT convert REQUIRED)
set(QZ_SETUP_RESOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(QZ_SETUP_PICTURE_DIR ${CMAKE_BINARY_DIR}/resources/setup)
file(MAKE_DIRECTORY ${QZ_SETUP_PICTURE_DIR})

set(pictures
  # The welcome and finish page's side picture.
  welcome "-size 164x252 gradient:#16386e-#7fb0e6 -fill #ffffff30 -draw \"circle 82,120 82,40\" -fill #ffffff50 -draw \"circle 60,190 60,160\""
  # The header's emblem.
  header "-size 53x53 radial-gradient:#ffffff-#2f6cb8"
  # A folder.
  folder "-size 32x32 xc:white -fill #f3c94e -stroke #9a7418 -draw \"rectangle 2,5 13,9\" -draw \"rectangle 2,9 29,27\""
)
set(QZ_SETUP_PICTURES)
while(pictures)
  list(POP_FRONT pictures name args)
  separate_arguments(args UNIX_COMMAND "${args}")
  set(out ${QZ_SETUP_PICTURE_DIR}/${name}.jpg)
  add_custom_command(OUTPUT ${out}
    COMMAND ${QZ_CONVERT} ${args} -quality 92 ${out}
    DEPENDS ${CMAKE_CURRENT_LIST_FILE}
    VERBATIM)
  list(APPEND QZ_SETUP_PICTURES ${out})
endwhile()
add_custom_target(qz_setup_pictures DEPENDS ${QZ_SETUP_PICTURES})

set(QZ_SETUP_RC ${QZ_SETUP_PICTURE_DIR}/setup.rc)
configure_file(${CMAKE_CURRENT_LIST_DIR}/setup.rc.in ${QZ_SETUP_RC} @ONLY)
# Seen by the test folders too.
set(QZ_SETUP_RC ${QZ_SETUP_RC} CACHE INTERNAL "")
set(QZ_SETUP_PICTURES ${QZ_SETUP_PICTURES} CACHE INTERNAL "")
set(QZ_SETUP_RESOURCE_DIR ${QZ_SETUP_RESOURCE_DIR} CACHE INTERNAL "")

# Adds the resources to an executable of the calling directory.
function(qz_setup_add_resources target)
  target_sources(${target} PRIVATE ${QZ_SETUP_RC})
  set_source_files_properties(${QZ_SETUP_RC} PROPERTIES
    OBJECT_DEPENDS "${QZ_SETUP_PICTURES};${QZ_SETUP_RESOURCE_DIR}/license.txt")
  add_dependencies(${target} qz_setup_pictures)
endfunction()
