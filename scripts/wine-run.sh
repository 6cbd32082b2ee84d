#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest and the test scripts: the
# build's own Wine prefix, no Mono or Gecko prompts, no Wine chatter. A
# program that needs a display gets the one in DISPLAY (Xvfb in the tests).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/../build-windows/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
