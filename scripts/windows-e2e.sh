#!/usr/bin/env bash
# The real tessary.exe under Wine on an X display, driven as a user would
# (xdotool): started with a photo on its command line, the window at 96 dpi
# has a 968 x 620 client area and the title "Frost — Tessary", and shows exactly
# tessary-render's card with that photo in the first region; a right-click on
# a region opens its menu; a click on an empty region opens the open dialog,
# a typed path puts a photo in, a drag moves it, and the save dialog writes
# the print-size PNG tessary-render --print writes with the pan the drag implies. The
# program then closes with exit code 0.
#   windows-e2e.sh WINDOWS-BUILD-FOLDER LINUX-TESSARY-RENDER
set -euo pipefail
build="$1"
linux_render="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
exe="$build/app/tessary.exe"
render="$build/tools/tessary-render.exe"
probe="$build/tests/tessary-wine-probe.exe"
work="$(mktemp -d)"
program=""
cleanup() {
  [[ -n "$program" ]] && kill "$program" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export LC_ALL=C.UTF-8  # typed and passed names are UTF-8
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
tessary_wine_env "$(dirname "$build")"
tessary_wine_prefix

fail() {
  echo "end-to-end: $*" >&2
  # What the screen showed, for whoever reads the log.
  import -window root "$build/e2e-failure.png" 2>/dev/null &&
    echo "end-to-end: the screen is in $build/e2e-failure.png" >&2
  exit 1
}
winpath() { printf 'Z:%s' "${1//\//\\}"; }  # a Unix path as Wine's programs see it
screen_card() {  # OUT.png: the card's pixels on the screen
  import -window root -crop "900x600+$X+$Y" +repage "$1"
}
same_pixels() {  # A.png B.png
  local differ
  differ=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  [[ "$differ" == "0" ]]
}
wait_gone() {  # TITLE
  for _ in $(seq 100); do
    xdotool search --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  fail "window \"$1\" stays open"
}

"$root/scripts/make-sample-photos.sh" "$work" >/dev/null
# Typed as ASCII: xdotool types other characters through a keyboard map it
# changes on the fly, which Wine does not always see in time. Unicode names
# are the unit tests' and the render check's (FileNamesTest, Win32AppTest).
photo="$work/beach.jpg"
first="$work/sunset.jpg"  # named on the command line

# Where to click: the middle of slot 1's box (the card is at natural size).
read -r _ slot _ _ _ left top right bottom < <("$linux_render" --template 0 --slots | sed -n 2p)
[[ "$slot" == 1 ]] || fail "tessary-render --slots did not list slot 1"
cx=$(((left + right) / 2))
cy=$(((top + bottom) / 2))

# A run cut short leaves its autosaved card, which the next start would offer
# back with a question in front of the window.
rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/Tessary
wine "$exe" "$(winpath "$first")" &
program=$!
read -r _ width height _ X Y < <(wine "$probe" window | tr -d '\r') ||
  fail "no main window"
find_window "Frost — Tessary" 20 >/dev/null ||
  fail "the main window's title is not \"Frost — Tessary\""
echo "window \"Frost — Tessary\": client ${width} x ${height} at ${X}, ${Y}"
[[ "$width" == 968 && "$height" == 620 ]] || fail "client area ${width} x ${height}, not 968 x 620"
sleep 2

# At rest the window shows the card in full quality, as a save renders it.
wine "$render" --template 0 --photo "0=$(winpath "$first")" -o "$(winpath "$work/start.png")"
screen_card "$work/screen-start.png"
same_pixels "$work/screen-start.png" "$work/start.png" ||
  fail "the card on screen is not tessary-render's with the photo in region 0"
echo "the photo named on the command line is in the first region"

read -r _ _ _ _ _ l0 t0 r0 b0 < <("$linux_render" --template 0 --slots | sed -n 1p)
xdotool mousemove $((X + (l0 + r0) / 2)) $((Y + (t0 + b0) / 2)) click 3
wine "$probe" menu || fail "a right-click on a region opened no menu"
xdotool key Escape
sleep 0.5
echo "a right-click on a region opened its menu"

xdotool mousemove $((X + cx)) $((Y + cy)) click 1
wait_for_window "Open picture"
echo "a click on an empty region opened the open dialog"
xdotool type --delay 20 "$(winpath "$photo")"
xdotool key Return
wait_gone "Open picture"
sleep 1
wine "$render" --template 0 --photo "0=$(winpath "$first")" --photo "1=$(winpath "$photo")" \
  -o "$(winpath "$work/photo.png")"
screen_card "$work/screen-photo.png"
same_pixels "$work/screen-photo.png" "$work/photo.png" || fail "the typed photo is not in the card"
echo "the typed path put the photo in"

# A drag up and to the left; only the last position counts.
dx=-45
dy=-40
xdotool mousemove $((X + cx)) $((Y + cy)) mousedown 1
for step in 1 2 3 4 5; do
  xdotool mousemove $((X + cx + dx * step / 5)) $((Y + cy + dy * step / 5))
  sleep 0.05
done
xdotool mouseup 1
sleep 1
pan=$(wine "$probe" drag-pan "1=$(winpath "$photo")" "1=$dx,$dy" | tr -d '\r')
wine "$render" --template 0 --photo "0=$(winpath "$first")" --photo "1=$(winpath "$photo")" \
  --pan "$pan" -o "$(winpath "$work/dragged.png")"
screen_card "$work/screen-dragged.png"
same_pixels "$work/screen-dragged.png" "$work/dragged.png" || fail "the drag did not pan to $pan"
same_pixels "$work/screen-dragged.png" "$work/photo.png" && fail "the drag moved nothing"
echo "the drag moved the photo to pan $pan"

# Save: the toolbar's first button. Three regions are still empty, so the
# program asks first (Yes is the default); the dialog offers the print size
# first, its PNG type second.
xdotool mousemove $((X + 936)) $((Y + 30)) click 1
wait_for_window "Tessary"
echo "the program asked about the empty regions"
xdotool key Return
wait_gone "Tessary"
wait_for_window "Save card"
xdotool type --delay 20 "$(winpath "$work/card")"
xdotool key Tab Down
sleep 0.3
xdotool key Return
wait_gone "Save card"
for _ in $(seq 50); do [[ -s "$work/card.png" ]] && break; sleep 0.2; done
wine "$render" --template 0 --print --photo "0=$(winpath "$first")" --photo "1=$(winpath "$photo")" \
  --pan "$pan" -o "$(winpath "$work/expected.png")"
cmp -s "$work/card.png" "$work/expected.png" || fail "the saved card differs from tessary-render --print's"
echo "the save dialog wrote the print-size PNG tessary-render --print writes"

wine "$probe" close >/dev/null
status=0
wait "$program" || status=$?
program=""
[[ $status == 0 ]] || fail "tessary.exe ended with exit code $status"
echo "tessary.exe closed with exit code 0"
