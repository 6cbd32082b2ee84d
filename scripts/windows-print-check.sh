#!/usr/bin/env bash
# Printing from the Windows program's backend under Wine to a real printer:
# a private CUPS server (cups-test-printer.sh) with its PDF printers, reached
# by Wine through CUPS_SERVER; test_win32.exe's printing tests describe the
# printers and print a 6 x 4 in card with cut marks, centred on A4 lying on
# its side; then tessary.exe itself prints, driven with xdotool through the
# system's print dialog and its page setup. Each PDF the printer wrote is
# measured with poppler's tools: one A4 page, the picture, the card's size
# and centring within 0.5 mm, the cut marks half an inch beyond the card.
# Skips with the reason where CUPS cannot be started (not root, no cupsd).
#   windows-print-check.sh WINDOWS-BUILD-FOLDER   (the tessary build inside it)
set -euo pipefail
build="$1"
root="$(cd "$(dirname "$0")/.." && pwd)"
tests="$build/tests/test_win32.exe"
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
tessary_wine_env "$(dirname "$build")"
tessary_wine_prefix

export LC_ALL=C.UTF-8  # the window's title
folder="$(mktemp -d)"
program=""
cleanup() {
  [[ -n "$program" ]] && kill "$program" 2>/dev/null || true
  "$root/scripts/cups-test-printer.sh" stop "$folder" >/dev/null 2>&1 || true
  rm -rf "$folder"
}
trap cleanup EXIT
if ! started="$("$root/scripts/cups-test-printer.sh" start "$folder" 2>&1)"; then
  echo "print check: SKIPPED, no CUPS test printer here: $started"
  exit 0
fi
export CUPS_SERVER="$folder/cups.sock" TESSARY_TEST_PRINTER=TessaryPDF
fail() {
  echo "print check: $*" >&2
  exit 1
}
# PICTURE (WxH) MARKS: the one PDF in the printer's folder, measured; with
# MARKS "yes" the card is a plain grey with cut marks off its corners, else
# the card is whatever is not white.
measure() {
  local pdf=""
  for _ in $(seq 600); do
    for f in "$folder"/out/*.pdf; do
      [[ -f "$f" ]] && pdfinfo "$f" 2>/dev/null | grep -q '^Pages:' && pdf="$f"
    done
    [[ -n "$pdf" ]] && break
    sleep 0.1
  done
  [[ -n "$pdf" ]] || fail "the printer wrote no PDF in 60 s (see $folder/log)"

  info="$(pdfinfo "$pdf")"
  grep -q '^Pages: *1$' <<<"$info" || fail "not one page: $info"
  grep -q '^Page size: *595\(\.[0-9]*\)\? x 841\.\|^Page size: *595\(\.[0-9]*\)\? x 842' <<<"$info" ||
    fail "not A4: $(grep 'Page size' <<<"$info")"
  images="$(pdfimages -list "$pdf" | awk 'NR > 2 && $3 == "image" { print $4 "x" $5 }')"
  [[ "$images" == "$1" ]] || fail "the picture is not the one printed: '$images'"

  pdftoppm -r 150 -gray -singlefile "$pdf" "$folder/page"
  python3 - "$folder/page.pgm" "$2" <<'PY' || fail "the card is not where it was put"
import sys
data = open(sys.argv[1], "rb").read()
fields, at = [], 0
while len(fields) < 4:  # P5, width, height, maximum
    while data[at:at + 1].isspace():
        at += 1
    start = at
    while not data[at:at + 1].isspace():
        at += 1
    fields.append(data[start:at])
width, height = int(fields[1]), int(fields[2])
pixels = data[at + 1:]
mm = 25.4 / 150

def box(darker_than):
    x0, y0, x1, y1 = width, height, -1, -1
    for y in range(height):
        row = pixels[y * width:(y + 1) * width]
        xs = [x for x, v in enumerate(row) if v < darker_than]
        if xs:
            x0, x1 = min(x0, xs[0]), max(x1, xs[-1])
            y0, y1 = min(y0, y), max(y1, y)
    return x0 * mm, y0 * mm, (width - 1 - x1) * mm, (height - 1 - y1) * mm

def card_box():
    # The card's grey in long runs: a cut mark is a quarter inch at most.
    grey = [1 if 40 <= v <= 80 else 0 for v in pixels]
    rows = [y for y in range(height) if sum(grey[y * width:(y + 1) * width]) > 100]
    cols = [x for x in range(width) if sum(grey[x::width]) > 100]
    return (cols[0] * mm, rows[0] * mm, (width - 1 - cols[-1]) * mm,
            (height - 1 - rows[-1]) * mm)

def check(name, got, want, within):
    ok = abs(got - want) <= within
    print(f"print check: {name} {got:.2f} mm (want {want:.2f} \u00b1 {within})")
    return ok

marks = sys.argv[2] == "yes"
left, top, right, bottom = card_box() if marks else box(250)
card_w, card_h = width * mm - left - right, height * mm - top - bottom
# A driver may feed the page upright: the card's long side follows the page's.
long_side, short_side = max(card_w, card_h), min(card_w, card_h)
ok = check("card's long side", long_side, 152.4, 0.5)
ok &= check("card's short side", short_side, 101.6, 0.5)
ok &= check("left less right", left - right, 0, 0.5)
ok &= check("top less bottom", top - bottom, 0, 0.5)
# Everything inked: the marks end half an inch beyond the card.
if marks:
    ink = box(235)
    ok &= check("marks beyond the left", left - ink[0], 12.7, 0.5)
    ok &= check("marks beyond the top", top - ink[1], 12.7, 0.5)
sys.exit(0 if ok else 1)
PY
  echo "print check: passed ($(basename "$pdf"))"
  rm -f "$folder"/out/*.pdf "$folder/page.pgm"
}

# To a file: Wine's services, when this is its first program, keep a pipe open.
wine "$tests" --gtest_filter='Win32Printing.*' >"$folder/tests.log" 2>&1 ||
  fail "the printing tests failed: $(cat "$folder/tests.log")"
grep -q "SKIPPED" "$folder/tests.log" &&
  fail "a printing test skipped with a printer named: $(cat "$folder/tests.log")"

measure 600x400 yes

# The program itself: Print, the system's dialog on the default printer
# (TessaryPDF, CUPS's default), the page setup as it opens (A4, actual size).
exe="$build/app/tessary.exe"
wine "$exe" >"$folder/tessary.log" 2>&1 &
program=$!
wait_for_window "Frost — Tessary"
xdotool key ctrl+p
wait_for_window "Print"
xdotool key Return
wait_for_window "Page setup"
xdotool key Return
measure 1800x1200 no
wine "$build/tests/tessary-wine-probe.exe" close >/dev/null 2>&1 || true
wait "$program" || fail "tessary.exe did not close cleanly"
program=""
