#!/usr/bin/env bash
# Makes docs/screenshot.png and docs/designs.png (the design chooser): the program on a virtual X display (Xvfb) with a
# small window manager, photos put into the card through its own open dialog,
# one photo dragged, then closed the way a user closes it. Fails if the
# program does not end with exit code 0.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --screenshot
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tessary

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
scripts/make-sample-photos.sh "$work"
# Settings and autosaves of their own: nothing from the user's runs is
# offered back, and nothing of this run stays behind.
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
xvfb-run -a -s "-screen 0 1240x820x24" scripts/screenshot-session.sh build/app/tessary "$work" \
  docs/screenshot.png docs/designs.png
echo "docs/screenshot.png and docs/designs.png written"
