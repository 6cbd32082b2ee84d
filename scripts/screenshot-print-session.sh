#!/usr/bin/env bash
# Runs inside Xvfb (see screenshot-print.sh): PROGRAM PHOTO_DIR OUTPUT.PNG
set -euo pipefail
# shellcheck source=close-unsaved-window.sh
source "$(dirname "$0")/close-unsaved-window.sh"
program="$1"; photos="$2"; output="$3"

# The first shown window of this title; a search that meets a window
# closing under it (the print dialog's) is simply made again.
wait_for() {
  local id
  for _ in $(seq 150); do
    if id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [[ -n "$id" ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  echo "no window \"$1\" came" >&2
  return 1
}

openbox >/dev/null 2>&1 &
sleep 1
"$program" "$photos/sunset.jpg" "$photos/beach.jpg" "$photos/meadow.jpg" "$photos/night.jpg" \
  "$photos/smile.jpg" &
pid=$!
win=$(wait_for ' — Tessary$')
sleep 2
# The keys go where the focus is: the program's window, once it has it.
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus "$win" || true
sleep 0.5
xdotool key ctrl+p
# The system's print dialog, with the test printer chosen: accept it.
wait_for '^Print$' >/dev/null
sleep 1
xdotool key Return
setup=$(wait_for '^Page setup$')
sleep 1
# Paper first, then the placement: the last one, several on a sheet.
xdotool key Tab
sleep 0.3
xdotool key End
sleep 1
import -frame -window "$setup" "$output"
xdotool key Escape
while xdotool search --onlyvisible --name '^Page setup$' >/dev/null 2>&1; do sleep 0.2; done

close_unsaved_window ' — Tessary' "$pid"
