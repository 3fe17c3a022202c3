# Builds libjpeg-turbo for MinGW from Debian's source package into
# $QZ_BUILD/deps/jpeg-ARCH (static library and headers). Quick when already there.
# build_jpeg_for_mingw ARCH: i686 or x86_64.
build_jpeg_for_mingw() {
  local arch=$1 deps="$QZ_BUILD/deps" prefix="$QZ_BUILD/deps/jpeg-$1"
  [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ] && return 0
  mkdir -p "$deps/src"
  (
    cd "$deps/src"
    if ! ls -d libjpeg-turbo-*/ >/dev/null 2>&1; then
      apt-get source --download-only -qq libjpeg-turbo >/dev/null 2>&1 ||
        apt-get source --download-only libjpeg-turbo
      local dsc
      dsc=$(ls libjpeg-turbo_*.dsc | head -n 1)
      dpkg-source -x --no-check "$dsc" >/dev/null
    fi
    local srcdir
    srcdir=$(ls -d libjpeg-turbo-*/ | head -n 1)
    cmake -S "$srcdir" -B "jpeg-build-$arch" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$QZ_ROOT/cmake/mingw-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
      -Wno-dev -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
      -DCMAKE_C_FLAGS="-msse2 -mfpmath=sse" >/dev/null
    cmake --build "jpeg-build-$arch" --target install >/dev/null
  )
}
