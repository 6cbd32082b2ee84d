#!/usr/bin/env bash
# Runs inside Xvfb (see test-windows.sh): BUILD_FOLDER LINUX_TESSARY_RENDER
#  1. a Wine prefix for the build (made once, kept in the build folder);
#  2. every cross-built test suite through CTest;
#  3. tessary-render.exe against the Linux tessary-render, byte for byte;
#  4. tessary.exe end to end, driven with xdotool (windows-e2e.sh);
#  5. printing to a private CUPS server's PDF printer (windows-print-check.sh).
set -euo pipefail
build="$1"
linux_render="$2"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=wine-env.sh
source "$here/wine-env.sh"
tessary_wine_env "$build"
tessary_wine_prefix
# One Wine server for the whole run, not one per test program; its first
# program starts Wine's own services, which can take a minute on a busy
# machine, so that happens here rather than inside a test's time limit.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
wine "$build/tessary/tools/tessary-render.exe" --help >/dev/null 2>&1

status=0
ctest --test-dir "$build/tessary" --output-on-failure -j"$(nproc)" || status=1
"$here/windows-render-check.sh" "$build/tessary/tools/tessary-render.exe" "$linux_render" || status=1
"$here/windows-e2e.sh" "$build/tessary" "$linux_render" || status=1
"$here/windows-print-check.sh" "$build/tessary" || status=1
exit $status
