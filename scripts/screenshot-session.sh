#!/usr/bin/env bash
# Runs inside Xvfb (see screenshot.sh): PROGRAM PHOTO_DIR OUTPUT.PNG [CHOOSER.PNG]
set -euo pipefail
# shellcheck source=close-unsaved-window.sh
source "$(dirname "$0")/close-unsaved-window.sh"
program="$1"; photos="$2"; output="$3"; chooser="${4:-}"

openbox >/dev/null 2>&1 &
sleep 1
"$program" &
pid=$!
win=$(xdotool search --sync --name '^Frost — Tessary$' | head -1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y: the client area's corner

# Opens the photo through the program's own dialog: click the empty region,
# type the path, confirm.
put_photo() {
  xdotool mousemove $((X + $1)) $((Y + $2)) click 1
  local dialog
  dialog=$(xdotool search --sync --name '^Open picture$' | head -1)
  sleep 0.5
  xdotool type --delay 2 "$3"
  xdotool key Return
  while xdotool search --name '^Open picture$' >/dev/null 2>&1; do sleep 0.2; done
  sleep 0.3
}
# Centres of template 0's regions, in client pixels at natural size.
put_photo 673 152 "$photos/sunset.jpg"
put_photo 227 152 "$photos/beach.jpg"
put_photo 227 448 "$photos/meadow.jpg"
put_photo 673 448 "$photos/night.jpg"
put_photo 450 300 "$photos/smile.jpg"

# Drag the beach photo a little to the left inside its region.
xdotool mousemove $((X + 160)) $((Y + 120)) mousedown 1
for dx in 10 20 30 40 50 60; do xdotool mousemove $((X + 160 - dx)) $((Y + 120 + dx / 3)); sleep 0.05; done
xdotool mouseup 1
# Rest the pointer over the toolbar's Save button so the hint line talks about saving.
xdotool mousemove $((X + 936)) $((Y + 30))
sleep 1

import -frame -window "$win" "$output"

# The design chooser, opened with its shortcut.
if [[ -n "$chooser" ]]; then
  xdotool key --window "$win" ctrl+d
  dialog=$(timeout 20 xdotool search --sync --name '^Choose a design$' | head -1)
  sleep 1
  import -frame -window "$dialog" "$chooser"
  xdotool key Escape
  while xdotool search --name '^Choose a design$' >/dev/null 2>&1; do sleep 0.2; done
fi

close_unsaved_window 'Frost — Tessary' "$pid"
