#!/usr/bin/env bash
# Builds the Debian package: a release build of the program and both tools in
# build-package/, then CPack (cmake/Packaging.cmake), dependencies computed
# with dpkg-shlibdeps. Prints the package's path.
#
#   scripts/package.sh            the package: build-package/package/tessary_*.deb
#   scripts/package.sh --try      also installs it, with apt, into a fresh
#                                 Debian 12 (debootstrap, in a folder of its
#                                 own) and starts it there the way the menu
#                                 entry does, under Xvfb
set -euo pipefail
cd "$(dirname "$0")/.."
try=0
case "${1:-}" in
  "") ;;
  --try) try=1 ;;
  *) echo "usage: scripts/package.sh [--try]" >&2; exit 2 ;;
esac
if ((try)); then scripts/install-deps.sh --package-try; else scripts/install-deps.sh; fi

build=build-package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DTESSARY_TESTS=OFF -DTESSARY_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/package/tessary_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/package/tessary_*.deb)
echo "$deb"
if ((try)); then
  scripts/try-package.sh "$deb"
fi
