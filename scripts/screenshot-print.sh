#!/usr/bin/env bash
# Makes docs/print-setup.png: the page setup with its preview, as Print
# (Ctrl+P) shows it after the system's print dialog, with two 6 x 4 in cards
# on A4 going to a private CUPS server's PDF printer
# (scripts/cups-test-printer.sh). Needs root for that server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --screenshot
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tessary

work=$(mktemp -d)
cleanup() {
  scripts/cups-test-printer.sh stop "$work/cups" || true
  rm -rf "$work"
}
trap cleanup EXIT
scripts/make-sample-photos.sh "$work"
CUPS_SERVER=$(scripts/cups-test-printer.sh start "$work/cups")
export CUPS_SERVER
# Settings of their own: nothing from the user's runs, nothing kept.
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
xvfb-run -a -s "-screen 0 1240x900x24" scripts/screenshot-print-session.sh build/app/tessary \
  "$work" docs/print-setup.png
echo "docs/print-setup.png written"
