# shellcheck shell=bash
# Sourced (never run) by every script that starts Windows programs under
# Wine, so that all of them, and CTest through wine-run.sh, share one set-up:
#   source scripts/wine-env.sh
#   tessary_wine_env [BUILD-FOLDER]  # the build's own prefix, no Mono or
#                                    # Gecko prompts, no Wine chatter
#   tessary_wine_prefix              # makes that prefix once
#   wait_for_window TITLE            # a window up and taking the keys
# Without a folder, a WINEPREFIX already set stays (a session hands it down
# to CTest and the checks it runs); else the Windows build folder's is used.

tessary_wine_env() {
  local root
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  if [[ -n "${1:-}" ]]; then
    WINEPREFIX="$1/wineprefix"
  elif [[ -z "${WINEPREFIX:-}" ]]; then
    local build="${TESSARY_WINDOWS_BUILD:-build-windows}"
    [[ "$build" == /* ]] || build="$root/$build"
    WINEPREFIX="$build/wineprefix"
  fi
  export WINEPREFIX
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
}

# A fresh prefix takes some seconds and 700 MB; it is made once per build
# folder, under a lock, and marked ready only when complete.
tessary_wine_prefix() {
  [[ -f "$WINEPREFIX/.tessary-ready" ]] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 8
    [[ -f "$WINEPREFIX/.tessary-ready" ]] && exit 0
    echo "== making the Wine prefix $WINEPREFIX" >&2
    rm -rf "$WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1
    # No window manager in the tests: Wine draws the frames itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    timeout 120 wineserver -w || true  # a persistent server never ends
    touch "$WINEPREFIX/.tessary-ready"
  ) 8>"$WINEPREFIX.lock"
}

# The first window titled TITLE, waiting up to SECONDS (30) for it. A window
# closing while xdotool reads the list ends xdotool with an X error (BadWindow),
# so the list is read again instead of giving up.
find_window() {  # TITLE [SECONDS]
  local id tries=$((${2:-30} * 5))
  for _ in $(seq "$tries"); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
    [[ -n "$id" ]] && echo "$id" && return 0
    sleep 0.2
  done
  return 1
}

# A window titled TITLE present within 30 s and holding the keyboard focus, so
# that keys typed next reach it; the caller's `fail` says so otherwise.
wait_for_window() {
  local id
  id=$(find_window "$1") || fail "no window \"$1\""
  for _ in $(seq 50); do
    [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$id" ]] && break
    sleep 0.1
  done
  sleep 0.5  # a dialog puts the caret in its name field once it is up
}
