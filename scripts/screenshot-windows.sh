#!/usr/bin/env bash
# Makes docs/screenshot-windows.png: tessary.exe under Wine on a virtual X
# display, five photos put in through its own open dialog, one dragged, the
# pointer resting on Save. Builds what is missing first (build-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
if [[ "${1:-}" != "--session" ]]; then
  scripts/build-windows.sh --tests
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" --session
fi

build="$(cd "${TESSARY_WINDOWS_BUILD:-build-windows}" && pwd)"
export LC_ALL=C.UTF-8
# shellcheck source=wine-env.sh
source scripts/wine-env.sh
tessary_wine_env "$build"
tessary_wine_prefix
work="$(mktemp -d)"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
scripts/make-sample-photos.sh "$work" >/dev/null
exe="$build/tessary/app/tessary.exe"
probe="$build/tessary/tests/tessary-wine-probe.exe"
render="$build/tessary/tools/tessary-render.exe"

wine "$exe" &
program=$!
read -r _ _ _ _ X Y < <(wine "$probe" window | tr -d '\r')
win=$(xdotool search --sync --name '^Frost — Tessary$' | head -1)
sleep 1
put_photo() {  # SLOT PHOTO
  local box
  box=$(wine "$render" --template 0 --slots | tr -d '\r' | sed -n "$(($1 + 1))p")
  read -r _ _ _ _ _ l t r b <<<"$box"
  xdotool mousemove $((X + (l + r) / 2)) $((Y + (t + b) / 2)) click 1
  local dialog
  dialog=$(timeout 30 xdotool search --sync --name '^Open picture$' | head -1)
  for _ in $(seq 50); do [[ "$(xdotool getwindowfocus)" == "$dialog" ]] && break; sleep 0.1; done
  sleep 0.5
  xdotool type --delay 15 "Z:${2//\//\\}"
  xdotool key Return
  while xdotool search --name '^Open picture$' >/dev/null 2>&1; do sleep 0.2; done
  sleep 0.3
}
put_photo 0 "$work/sunset.jpg"
put_photo 1 "$work/beach.jpg"
put_photo 2 "$work/meadow.jpg"
put_photo 3 "$work/night.jpg"
put_photo 4 "$work/smile.jpg"
# Drag the beach photo a little inside its region.
xdotool mousemove $((X + 160)) $((Y + 120)) mousedown 1
for d in 10 20 30 40; do xdotool mousemove $((X + 160 - d / 2)) $((Y + 120 + d)); sleep 0.05; done
xdotool mouseup 1
xdotool mousemove $((X + 936)) $((Y + 30))
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$root/docs/screenshot-windows.png"
wine "$probe" close >/dev/null
wait "$program"
echo "docs/screenshot-windows.png written"
