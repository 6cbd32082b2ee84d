#!/usr/bin/env bash
# Cross-builds Tessary for 64-bit Windows on Debian 12 and packs
# dist/tessary-windows-x64.zip (tessary.exe, tessary-render.exe,
# tessary-layout.exe and the help page; static executables, no DLLs).
#
# Installs what is missing (scripts/install-windows-deps.sh), fetches the
# sources of libpng and libjpeg-turbo from Debian's archive with
# `apt-get source`, and cross-builds them and GoogleTest as static libraries
# into a sysroot under the build folder, which later runs reuse.
#
#   scripts/build-windows.sh            the three programs and the zip
#   scripts/build-windows.sh --tests    also every test suite (test-windows.sh)
#
# TESSARY_WINDOWS_BUILD names the build folder (default build-windows).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
build="${TESSARY_WINDOWS_BUILD:-build-windows}"
mkdir -p "$build"
build="$(cd "$build" && pwd)"
sysroot="$build/sysroot"
sources="$build/sources"
jobs="$(nproc)"
with_tests=OFF
[[ "${1:-}" == "--tests" ]] && with_tests=ON

scripts/install-windows-deps.sh

toolchain="$root/cmake/MingwToolchain.cmake"
third_party_build() {  # NAME SOURCE_DIR CMAKE_ARGS...
  local name="$1" src="$2"
  shift 2
  echo "== cross-building $name"
  rm -rf "$build/third-party/$name"
  cmake -S "$src" -B "$build/third-party/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTESSARY_SYSROOT="$sysroot" \
    -DCMAKE_INSTALL_PREFIX="$sysroot" -DCMAKE_POLICY_DEFAULT_CMP0074=NEW "$@" >/dev/null
  cmake --build "$build/third-party/$name" -j"$jobs" >/dev/null
  cmake --install "$build/third-party/$name" >/dev/null
  rm -rf "$build/third-party/$name"
}

fetch_source() {  # PACKAGE: unpacks Debian's source of bookworm's version
  local package="$1"
  mkdir -p "$sources"
  if ! ls -d "$sources/$package"-*/ >/dev/null 2>&1; then
    echo "== apt-get source $package" >&2
    # The security archive has no deb-src entry; -t keeps apt from asking
    # for a version only it would have.
    (cd "$sources" && apt-get source -qq -t bookworm "$package" >/dev/null 2>&1) ||
      (cd "$sources" && apt-get source -t bookworm "$package")
  fi
  ls -d "$sources/$package"-*/ | head -1
}

mkdir -p "$sysroot"
if [[ ! -f "$sysroot/.libpng" ]]; then
  src="$(fetch_source libpng1.6)"
  third_party_build libpng "$src" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DZLIB_USE_STATIC_LIBS=ON
  touch "$sysroot/.libpng"
fi
if [[ ! -f "$sysroot/.libjpeg-turbo" ]]; then
  src="$(fetch_source libjpeg-turbo)"
  third_party_build libjpeg-turbo "$src" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm
  touch "$sysroot/.libjpeg-turbo"
fi
if [[ "$with_tests" == ON && ! -f "$sysroot/.googletest" ]]; then
  third_party_build googletest /usr/src/googletest -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=ON \
    -DINSTALL_GTEST=ON
  touch "$sysroot/.googletest"
fi

echo "== cross-building Tessary"
# -O2, as the Linux build: the cards must come out byte for byte the same.
cmake -S . -B "$build/tessary" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTESSARY_SYSROOT="$sysroot" \
  -DTESSARY_TESTS="$with_tests" >/dev/null
if [[ "$with_tests" == ON ]]; then
  cmake --build "$build/tessary" -j"$jobs"
else
  cmake --build "$build/tessary" -j"$jobs" --target tessary tessary-render tessary-layout
fi

echo "== packing dist/tessary-windows-x64.zip"
stage="$build/stage/tessary-windows-x64"
rm -rf "$build/stage"
mkdir -p "$stage" dist
for exe in app/tessary.exe tools/tessary-render.exe tools/tessary-layout.exe; do
  x86_64-w64-mingw32-strip -o "$stage/$(basename "$exe")" "$build/tessary/$exe"
done
cp docs/help.html "$stage/"
rm -f dist/tessary-windows-x64.zip
(cd "$build/stage" && zip -qr -X "$root/dist/tessary-windows-x64.zip" tessary-windows-x64)
echo "dist/tessary-windows-x64.zip: $(du -h dist/tessary-windows-x64.zip | cut -f1)"
