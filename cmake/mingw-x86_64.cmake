# The same sources as 64-bit Windows programs: the test tree for machines that cannot
# start 32-bit programs.
set(QZ_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
