#!/usr/bin/env bash
# Makes docs/help-without-browser.png: the program on a virtual X display
# with no browser and no xdg-open on its PATH; F1 must show the help page in
# a window of the program's own. Fails if that window does not come.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ "${1:-}" == --session ]]; then
  program="$2"; output="$3"
  openbox >/dev/null 2>&1 &
  sleep 1
  env -u BROWSER PATH=/nonexistent "$program" &
  pid=$!
  win=$(xdotool search --sync --name '^Tessary 1.0$' | head -1)
  sleep 1
  xdotool windowactivate --sync "$win" || true
  xdotool key F1
  timeout 10 xdotool search --sync --name '^Tessary Help$' >/dev/null
  sleep 1
  import -window root "$output"
  wmctrl -c 'Tessary Help'
  sleep 0.5
  wmctrl -c 'Tessary 1.0'
  wait "$pid"
  exit
fi
scripts/install-deps.sh --screenshot
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tessary tessary_help
xvfb-run -a -s "-screen 0 1240x820x24" "$0" --session "$PWD/build/app/tessary" \
  docs/help-without-browser.png
echo "docs/help-without-browser.png written"
