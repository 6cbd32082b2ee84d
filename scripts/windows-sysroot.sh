#!/usr/bin/env bash
# Cross-builds, once per machine, the static Windows libraries Tessary links,
# from Debian 12's own sources (`apt-get source -t bookworm`), and prints the
# folder they are installed in (the sysroot) as its last line:
#   zlib (Debian's mingw package), libpng, libjpeg-turbo (with SIMD),
#   GoogleTest, FreeType, HarfBuzz, pixman, cairo, libzip, libwebp, libtiff,
#   libde265, libheif and nlohmann-json.
#
# The sysroot lives outside the clone, at
#   ${TESSARY_DEPS_CACHE:-/var/cache/tessary}/windows-sysroot-<key>
# where the key hashes the Debian source versions, the versions of the cross
# compiler, mingw-w64 and its zlib, this recipe and the toolchain file. Its
# .pc files and CMake configs name that folder, so it stays where it is; a
# new key means a new folder. It is built in a temporary folder and renamed
# into place once complete, under a lock, so a killed build leaves nothing
# that counts as done and two builds of the same key never race.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
toolchain="$root/cmake/MingwToolchain.cmake"
jobs="$(nproc)"

cache="${TESSARY_DEPS_CACHE:-/var/cache/tessary}"
if ! mkdir -p "$cache" 2>/dev/null || [[ ! -w "$cache" ]]; then
  cache="${XDG_CACHE_HOME:-$HOME/.cache}/tessary"
  mkdir -p "$cache"
fi
cache="$(cd "$cache" && pwd)"

# Debian source packages, by the names apt-get source takes. pixman comes in
# a call of its own: the archive answers 404 for its Debian diff, and one
# failed file makes apt-get source give up on every package of the call.
sources=(libpng1.6 libjpeg-turbo freetype harfbuzz cairo libzip libwebp tiff libde265 libheif
  nlohmann-json3)

key_inputs() {
  echo "cache $cache"
  apt-get source --print-uris -qq -t bookworm "${sources[@]}" pixman |
    grep -o "[^ ']*\.dsc" | grep -v / | sort
  dpkg-query -W -f='${Package} ${Version}\n' g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev \
    libz-mingw-w64-dev googletest
  sha256sum "$root/scripts/windows-sysroot.sh" "$toolchain" | sed "s|$root/||"
}
inputs="$(key_inputs)"
if (($(grep -c '\.dsc$' <<<"$inputs") != ${#sources[@]} + 1)); then
  echo "windows-sysroot: apt-get source did not list every package (is the deb-src entry there?)" >&2
  exit 1
fi
key="$(sha256sum <<<"$inputs" | cut -c1-16)"
final="$cache/windows-sysroot-$key"

exec 9>"$final.lock"
if ! flock -n 9; then
  echo "== waiting for another build of $final" >&2
  flock 9
fi
if [[ -d "$final" ]]; then
  echo "$final"
  exit 0
fi

start=$SECONDS
sysroot="$final.tmp"  # renamed to $final when complete
work="$final.work"    # sources and build folders, removed at the end
rm -rf "$sysroot" "$work"
mkdir -p "$sysroot" "$work/src" "$work/build"
echo "== Windows libraries into $final (Debian sources, about 7 minutes on 2 cores)" >&2

export PKG_CONFIG_LIBDIR="$sysroot/lib/pkgconfig:/usr/x86_64-w64-mingw32/lib/pkgconfig"
unset PKG_CONFIG_PATH PKG_CONFIG_SYSROOT_DIR

step() {  # NAME COMMAND...: runs COMMAND with its output in a log shown on failure
  local name="$1" t=$SECONDS
  shift
  # In the background, so that errexit holds inside COMMAND (an `if` would
  # switch it off there).
  (cd "$work" && "$@") >"$work/$name.log" 2>&1 &
  if ! wait $!; then
    tail -40 "$work/$name.log" >&2
    echo "windows-sysroot: $name failed (log above; kept in $work)" >&2
    exit 1
  fi
  echo "   $name: $((SECONDS - t)) s" >&2
}

fetch() {
  cd "$work/src"
  apt-get source -qq -t bookworm "${sources[@]}"
  apt-get source -qq -t bookworm --tar-only pixman
  tar xf pixman_*.orig.tar.*
}
step fetch fetch
src() { ls -d "$work/src/$1"-*/ | head -1; }

cmake_build() {  # NAME SOURCE CMAKE_ARGS...
  local name="$1" source="$2"
  shift 2
  cmake -S "$source" -B "$work/build/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTESSARY_SYSROOT="$sysroot" \
    -DCMAKE_INSTALL_PREFIX="$sysroot" -DBUILD_SHARED_LIBS=OFF \
    -DZLIB_USE_STATIC_LIBS=ON -DCMAKE_POLICY_DEFAULT_CMP0074=NEW "$@"
  cmake --build "$work/build/$name" -j"$jobs"
  cmake --install "$work/build/$name"
}

cat >"$work/meson-cross.txt" <<EOF
[binaries]
c = 'x86_64-w64-mingw32-gcc-posix'
cpp = 'x86_64-w64-mingw32-g++-posix'
ar = 'x86_64-w64-mingw32-ar'
strip = 'x86_64-w64-mingw32-strip'
windres = 'x86_64-w64-mingw32-windres'
pkgconfig = 'pkg-config'
[properties]
pkg_config_libdir = ['$sysroot/lib/pkgconfig', '/usr/x86_64-w64-mingw32/lib/pkgconfig']
[built-in options]
c_link_args = ['-static']
cpp_link_args = ['-static']
[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
EOF
meson_build() {  # NAME SOURCE MESON_ARGS...
  local name="$1" source="$2"
  shift 2
  meson setup "$work/build/$name" "$source" --cross-file "$work/meson-cross.txt" \
    --prefix "$sysroot" --libdir lib --buildtype release --default-library static \
    --wrap-mode nofallback "$@"
  ninja -C "$work/build/$name" -j"$jobs"
  meson install -C "$work/build/$name"
}

# cairo 1.16 has autotools only. Debian's patches touch configure.ac and the
# Makefile.am files, which would make `make` run the automake of the release
# (1.15, not in Debian 12): the generated files are made newer instead; the
# patches only concern Debian's shared build.
cairo_build() {
  local source
  source="$(src cairo)"
  cd "$source"
  touch aclocal.m4
  sleep 1
  touch configure config.h.in $(find . -name Makefile.in)
  ./configure --host=x86_64-w64-mingw32 --prefix="$sysroot" CC=x86_64-w64-mingw32-gcc-posix \
    CPPFLAGS=-DCAIRO_WIN32_STATIC_BUILD CFLAGS=-O2 --enable-static --disable-shared \
    --enable-png --enable-pdf --enable-ft --disable-fc --enable-win32 --enable-win32-font \
    --disable-ps --disable-svg --disable-script --disable-interpreter --disable-trace \
    --disable-xlib --disable-xcb --disable-gobject --disable-xml --disable-tee \
    --disable-symbol-lookup --disable-valgrind
  make -j"$jobs" -C src
  make -C src install
}

off() { for o in "$@"; do printf -- '-D%s=OFF ' "$o"; done; }

# shellcheck disable=SC2046  # off's words are meant to split
{
  step libpng cmake_build libpng "$(src libpng1.6)" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
    -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
  step libjpeg-turbo cmake_build libjpeg-turbo "$(src libjpeg-turbo)" -DENABLE_SHARED=OFF \
    -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=ON \
    -DCMAKE_ASM_NASM_COMPILER=nasm
  step googletest cmake_build googletest /usr/src/googletest -DBUILD_GMOCK=ON \
    -Dgtest_disable_pthreads=ON -DINSTALL_GTEST=ON
  step freetype cmake_build freetype "$(src freetype)" -DFT_REQUIRE_ZLIB=ON -DFT_REQUIRE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_BROTLI=ON
  # Its CMake build: one amalgamated source, under a third of meson's time.
  step harfbuzz cmake_build harfbuzz "$(src harfbuzz)" -DHB_HAVE_FREETYPE=ON \
    -DHB_BUILD_SUBSET=OFF -DCMAKE_INSTALL_INCLUDEDIR=include
  step pixman meson_build pixman "$(src pixman)" -Dgtk=disabled -Dlibpng=disabled \
    -Dtests=disabled -Dopenmp=disabled
  step cairo cairo_build
  step libzip cmake_build libzip "$(src libzip)" $(off ENABLE_BZIP2 ENABLE_LZMA ENABLE_OPENSSL \
    ENABLE_GNUTLS ENABLE_MBEDTLS ENABLE_COMMONCRYPTO BUILD_TOOLS BUILD_REGRESS \
    BUILD_EXAMPLES BUILD_DOC)
  step libwebp cmake_build libwebp "$(src libwebp)" $(off WEBP_BUILD_ANIM_UTILS \
    WEBP_BUILD_CWEBP WEBP_BUILD_DWEBP WEBP_BUILD_GIF2WEBP WEBP_BUILD_IMG2WEBP WEBP_BUILD_VWEBP \
    WEBP_BUILD_WEBPINFO WEBP_BUILD_WEBPMUX WEBP_BUILD_EXTRAS)
  step tiff cmake_build tiff "$(src tiff)" -Dcxx=OFF -Djpeg12=OFF -Dwebp=OFF $(off tiff-tools \
    tiff-tests tiff-contrib tiff-docs libdeflate jbig lerc lzma zstd)
  # ENABLE_DECODER is the dec265 tool, not the decoder.
  step libde265 cmake_build libde265 "$(src libde265)" -DENABLE_SDL=OFF -DENABLE_DECODER=OFF \
    -DENABLE_ENCODER=OFF
  step libheif cmake_build libheif "$(src libheif)" -DWITH_LIBDE265_PLUGIN=OFF \
    -DENABLE_PLUGIN_LOADING=OFF -DWITH_EXAMPLES=OFF $(off WITH_X265 WITH_DAV1D \
    WITH_AOM_DECODER WITH_AOM_ENCODER WITH_SvtEnc WITH_RAV1E)
  step nlohmann-json cmake_build nlohmann-json "$(src nlohmann-json3)" -DJSON_BuildTests=OFF
}

# The installed .pc files, CMake configs and a few headers name the folder
# they were installed into: make them name the final one.
grep -rlIF "$sysroot" "$sysroot" | while read -r f; do
  sed -i "s|$sysroot|$final|g" "$f"
done
if grep -rlF "$sysroot" "$sysroot" >&2; then
  echo "windows-sysroot: the binary files above name the temporary folder" >&2
  exit 1
fi
printf '%s\n' "$inputs" >"$sysroot/KEY"
cd "$cache"
rm -rf "$work"
mv "$sysroot" "$final"
echo "== Windows libraries built in $((SECONDS - start)) s" >&2
echo "$final"
