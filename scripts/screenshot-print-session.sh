#!/usr/bin/env bash
# Runs inside Xvfb (see screenshot-print.sh): PROGRAM PHOTO_DIR OUTPUT.PNG
set -euo pipefail
program="$1"; photos="$2"; output="$3"

openbox >/dev/null 2>&1 &
sleep 1
"$program" "$photos/sunset.jpg" "$photos/beach.jpg" "$photos/meadow.jpg" "$photos/night.jpg" \
  "$photos/smile.jpg" &
pid=$!
win=$(xdotool search --sync --name ' — Tessary$' | head -1)
sleep 2
xdotool windowactivate --sync "$win"
xdotool key ctrl+p
# The system's print dialog, with the test printer chosen: accept it.
timeout 20 xdotool search --sync --name '^Print$' >/dev/null
sleep 1
xdotool key Return
setup=$(timeout 20 xdotool search --sync --name '^Page setup$' | head -1)
sleep 1
# Paper first, then the placement: the last one, several on a sheet.
xdotool key Tab
sleep 0.3
xdotool key End
sleep 1
import -frame -window "$setup" "$output"
xdotool key Escape
while xdotool search --name '^Page setup$' >/dev/null 2>&1; do sleep 0.2; done

wmctrl -c ' — Tessary'
sleep 1
# The card was never saved: the close question's second button leaves it.
if timeout 5 xdotool search --sync --name '^Tessary$' >/dev/null 2>&1; then
  sleep 0.5
  xdotool key Tab Return
fi
status=0
wait "$pid" || status=$?
if [[ $status -ne 0 ]]; then
  echo "the program ended with exit code $status" >&2
  exit 1
fi
echo "the program closed with exit code 0"
