#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest and the test scripts, with the
# set-up of wine-env.sh (the build's own prefix, made if missing). A program
# that needs a display gets the one in DISPLAY (Xvfb in the tests).
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
tessary_wine_env
tessary_wine_prefix
exec wine "$@"
