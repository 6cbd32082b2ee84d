#!/usr/bin/env bash
# Cross-builds every test suite that needs no Qt for Windows and runs them
# under Wine on a virtual X display (Xvfb); then checks that tessary-render.exe
# writes the same bytes as the Linux tessary-render, and drives the real
# tessary.exe end to end, and prints through a private CUPS server's PDF
# printer (scripts/windows-session.sh). Installs what is
# missing, as scripts/build-windows.sh does.
#
# TESSARY_WINDOWS_BUILD names the build folder (default build-windows); the
# Linux tessary-render comes from build/ (TESSARY_LINUX_BUILD), built if needed.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
scripts/build-windows.sh --tests
build="$(cd "${TESSARY_WINDOWS_BUILD:-build-windows}" && pwd)"

# The Linux tools the Windows ones must match byte for byte.
linux="${TESSARY_LINUX_BUILD:-build}"
if [[ ! -x "$linux/tools/tessary-render" || ! -x "$linux/tools/tessary-layout" ]]; then
  scripts/install-deps.sh
  cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$linux" -j"$(nproc)" --target tessary-render tessary-layout
fi

echo "== tests under Wine"
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  scripts/windows-session.sh "$build" "$(cd "$linux" && pwd)/tools/tessary-render"
echo "Windows build and tests took $((SECONDS - start)) s"
