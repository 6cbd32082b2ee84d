#!/usr/bin/env bash
# Cross-builds Tessary for 64-bit Windows on Debian 12 and packs
# dist/tessary-windows-x64.zip (tessary.exe, tessary-render.exe,
# tessary-layout.exe and the help page; static executables, no DLLs).
#
# Installs what is missing (scripts/install-windows-deps.sh), then has
# scripts/windows-sysroot.sh cross-build the static libraries Tessary links
# (libpng, libjpeg-turbo, GoogleTest, FreeType, HarfBuzz, cairo, libzip,
# libwebp, libtiff, libheif, nlohmann-json ...) from Debian's own sources,
# once per machine, into a cache outside the clone
# (${TESSARY_DEPS_CACHE:-/var/cache/tessary}/windows-sysroot-<key>).
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
jobs="$(nproc)"
with_tests=OFF
[[ "${1:-}" == "--tests" ]] && with_tests=ON

scripts/install-windows-deps.sh
# What killed library builds left in the cache, unless that build still runs
# (here, not in the recipe: the recipe's hash is part of the sysroot's key).
for leftover in "${TESSARY_DEPS_CACHE:-/var/cache/tessary}"/windows-sysroot-*.{tmp,work}; do
  [[ -e "$leftover" ]] || continue
  base="${leftover%.*}"
  (flock -n 8 && rm -rf "$base.tmp" "$base.work") 8>"$base.lock" || true
done
sysroot="$(scripts/windows-sysroot.sh | tail -1)"
# What earlier versions of this script kept in the build folder.
rm -rf "$build/sysroot" "$build/sources" "$build/third-party"

toolchain="$root/cmake/MingwToolchain.cmake"
# A build folder made against another sysroot forgets the libraries it found.
if [[ -f "$build/tessary/CMakeCache.txt" ]] &&
    ! grep -qxF "TESSARY_SYSROOT:UNINITIALIZED=$sysroot" "$build/tessary/CMakeCache.txt"; then
  rm -f "$build/tessary/CMakeCache.txt"
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
# The bundled font families and their licences, found beside the program.
cp -r "$build/tessary/fonts" "$stage/fonts"
rm -f dist/tessary-windows-x64.zip
(cd "$build/stage" && zip -qr -X "$root/dist/tessary-windows-x64.zip" tessary-windows-x64)
echo "dist/tessary-windows-x64.zip: $(du -h dist/tessary-windows-x64.zip | cut -f1)"
