#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, then
# passes every kept fuzzing input once through every fuzz target (a clang
# build of its own in build-fuzz/; TESSARY_FUZZ_REPLAY=OFF skips it).
# TESSARY_SANITIZE=ON runs the same suite under ASan and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
sanitize="${TESSARY_SANITIZE:-OFF}"
build="build"
[[ "$sanitize" == "ON" ]] && build="build-sanitize"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARY_SANITIZE="$sanitize" \
  -DTESSARY_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
if [[ "${TESSARY_FUZZ_REPLAY:-ON}" != "OFF" ]]; then
  scripts/fuzz.sh --replay
fi
