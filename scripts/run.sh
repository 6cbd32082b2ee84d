#!/usr/bin/env bash
# Installs what is missing, builds the program and both command-line tools
# (build/tools/tessary-render, build/tools/tessary-layout), and starts the
# program with the arguments given (photos, a layout file).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tessary tessary-render tessary-layout
exec build/app/tessary "$@"
