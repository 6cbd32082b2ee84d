#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest and the test scripts, with the
# set-up of wine-env.sh (the build's own prefix, made if missing). A program
# that needs a display gets the one in DISPLAY (Xvfb in the tests).
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
tessary_wine_env
tessary_wine_prefix
# Under a busy Wine a program now and then fails before it runs at all (its
# process or its DLLs do not start) and says nothing, or, having finished,
# Wine's own loader trips an assertion of the host's ld.so while it shuts down
# (the program's whole output already printed). Either is tried once more, and
# said so. Any other failure stands: a program that ran says something (every
# test binary prints its results).
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2; do
  status=0
  wine "$@" >"$out" 2>"$err" || status=$?
  cat "$out"
  cat "$err" >&2
  if [[ $status -eq 0 || $attempt -eq 2 ]]; then
    exit "$status"
  fi
  if grep -q '^Inconsistency detected by ld.so' "$out" "$err"; then
    echo "wine-run: Wine's loader failed as $1 ended (status $status); running it again" >&2
  elif [[ -s "$out" || -s "$err" ]]; then
    exit "$status"
  else
    echo "wine-run: $1 ended with status $status before it said anything; starting it again" >&2
  fi
done
