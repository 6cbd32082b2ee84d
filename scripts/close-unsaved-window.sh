# Sourced by the screenshot sessions. close_unsaved_window TITLE PID closes
# the program's window the way a user does, leaves the unsaved card at the
# question, and fails unless the program then ends with exit code 0.
close_unsaved_window() {
  wmctrl -c "$1"
  sleep 1
  # The card was never saved: the close question's second button leaves it.
  if timeout 5 xdotool search --sync --name '^Tessary$' >/dev/null 2>&1; then
    sleep 0.5
    xdotool key Tab Return
  fi
  local status=0
  wait "$2" || status=$?
  if [[ $status -ne 0 ]]; then
    echo "the program ended with exit code $status" >&2
    exit 1
  fi
  echo "the program closed with exit code 0"
}
