# Shared by scripts/run and scripts/test: paths, install, configure and build.
QZ_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
QZ_BUILD=${QZ_BUILD:-$QZ_ROOT/build}
QZ_JOBS=${QZ_JOBS:-$(nproc)}

. "$QZ_ROOT/scripts/lib/deps-jpeg.sh"
. "$QZ_ROOT/scripts/lib/wine-env.sh"

qz_install() {
  "$QZ_ROOT/scripts/bootstrap"
  build_jpeg_for_mingw
}

# qz_build_windows [target...]: all targets when none is named.
qz_build_windows() {
  cmake -S "$QZ_ROOT" -B "$QZ_BUILD/win" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$QZ_ROOT/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQZ_JPEG_PREFIX="$QZ_BUILD/deps/jpeg-i686" >/dev/null
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$QZ_BUILD/win" -j "$QZ_JOBS" "${targets[@]}"
}

qz_build_native() {
  cmake -S "$QZ_ROOT" -B "$QZ_BUILD/native" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Debug -DQZ_FUZZ=ON >/dev/null
  cmake --build "$QZ_BUILD/native" -j "$QZ_JOBS"
}
