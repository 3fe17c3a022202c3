# Shared by scripts/run and scripts/test: paths, install, configure and build.
QZ_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
QZ_BUILD=${QZ_BUILD:-$QZ_ROOT/build}
QZ_JOBS=${QZ_JOBS:-$(nproc)}

# The product is the i686 tree; the x86_64 tree builds the same sources for machines
# that cannot start 32-bit programs, and for testing there.
QZ_WIN_TREE_ARCHES=(i686 x86_64)

. "$QZ_ROOT/scripts/lib/deps-jpeg.sh"
. "$QZ_ROOT/scripts/lib/wine-env.sh"

qz_install() {
  "$QZ_ROOT/scripts/bootstrap"
  local arch
  for arch in "${QZ_WIN_TREE_ARCHES[@]}"; do build_jpeg_for_mingw "$arch"; done
}

# qz_win_tree ARCH: the build tree of that processor.
qz_win_tree() {
  case "$1" in
    i686) echo "$QZ_BUILD/win" ;;
    x86_64) echo "$QZ_BUILD/win64" ;;
    *) echo "unknown Windows processor '$1' (i686 or x86_64)" >&2; return 2 ;;
  esac
}

# qz_build_windows ARCH [target...]: all targets when none is named.
qz_build_windows() {
  local arch=$1 tree
  shift
  tree=$(qz_win_tree "$arch")
  cmake -S "$QZ_ROOT" -B "$tree" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$QZ_ROOT/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQZ_JPEG_PREFIX="$QZ_BUILD/deps/jpeg-$arch" >/dev/null
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$tree" -j "$QZ_JOBS" "${targets[@]}"
}

# qz_win_can_run ARCH: this machine starts Windows programs of that processor.
qz_win_can_run() {
  "$QZ_ROOT/scripts/wine-run" "$1" --can-run
}

# The processor of the tree that runs a program here: the product's where this machine
# starts its programs, else the 64-bit test tree's; fails when it starts neither.
qz_win_start_arch() {
  local arch
  for arch in "${QZ_WIN_TREE_ARCHES[@]}"; do
    if qz_win_can_run "$arch"; then
      echo "$arch"
      return 0
    fi
  done
  echo "This machine starts neither 32-bit nor 64-bit Windows programs under Wine." >&2
  return 1
}

# The Windows trees to run here, the product's first: QZ_WIN_ARCHES when set, otherwise
# every tree whose programs this machine starts.
qz_win_run_arches() {
  local arch
  if [ -n "${QZ_WIN_ARCHES:-}" ]; then
    for arch in $QZ_WIN_ARCHES; do qz_win_tree "$arch" >/dev/null && echo "$arch"; done
    return 0
  fi
  for arch in "${QZ_WIN_TREE_ARCHES[@]}"; do
    qz_win_can_run "$arch" && echo "$arch"
  done
  return 0
}

qz_build_native() {
  cmake -S "$QZ_ROOT" -B "$QZ_BUILD/native" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Debug -DQZ_FUZZ=ON >/dev/null
  cmake --build "$QZ_BUILD/native" -j "$QZ_JOBS"
}

# The benches' native tree: a release build without sanitizers, shared by every bench.
QZ_BENCH_NATIVE=$QZ_BUILD/bench-native

# qz_build_bench_native TARGET...
qz_build_bench_native() {
  cmake -S "$QZ_ROOT" -B "$QZ_BENCH_NATIVE" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQZ_SANITIZE=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  cmake --build "$QZ_BENCH_NATIVE" -j "$QZ_JOBS" --target "$@" >/dev/null
}
