#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, makes their seed corpora, and
#   scripts/fuzz.sh [SECONDS]   fuzzes every target for SECONDS each (default 60);
#   scripts/fuzz.sh --replay    runs every seed, fixture and kept regression once
#                               through every target (scripts/test.sh does this).
# A finding is written to build-fuzz/findings/ and ends the script with an error.
# At the end a table gives each target's executions, executions a second,
# coverage (edges) and peak memory.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=fuzz
seconds=60
case "${1:-}" in
  --replay) mode=replay ;;
  "") ;;
  *[!0-9]*)
    echo "usage: scripts/fuzz.sh [SECONDS | --replay]" >&2
    exit 2
    ;;
  *) seconds="$1" ;;
esac

scripts/install-deps.sh
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSARY_FUZZ=ON -DTESSARY_GUI=OFF -DTESSARY_TESTS=OFF -DTESSARY_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target tessary_fuzz

seeds="$build/seeds"
rm -rf "$seeds"
"$build/fuzz/tessary-fuzz-seeds" "$seeds"
# HEIC, WebP and TIFF seeds, written by Debian's tools as the tests' are.
formats="$build/format-photos"
rm -rf "$formats"
tests/tools/make-format-photos.sh "$formats" --more
for kind in heic webp tiff; do
  mkdir -p "$seeds/$kind" "$seeds/files" "$seeds/photo"
  for file in "$formats"/*."$kind"; do
    name=$(basename "$file")
    cp "$file" "$seeds/$kind/"
    cp "$file" "$seeds/files/"
    # The photo target's header: pan 0.5, 0.5 and a 40 x 30 card.
    { printf '\000\000\000\077\000\000\000\077\047\000\035\000'; cat "$file"; } \
      >"$seeds/photo/$name.photo"
  done
done
# Inputs that once went wrong, kept as files.
mkdir -p "$seeds/kept"
for kept in fuzz/regressions tests/imagefiles/fixtures; do
  if [[ -d "$kept" ]]; then find "$kept" -type f -exec cp {} "$seeds/kept/" \; ; fi
done

# Each target's own seeds and dictionary.
seed_kind() {
  case "$1" in
    fuzz_png_decode) echo png ;;
    fuzz_jpeg_decode) echo jpeg ;;
    fuzz_layout) echo layout ;;
    fuzz_project) echo project ;;
    fuzz_card_json) echo cardjson ;;
    fuzz_photo) echo photo ;;
    fuzz_exif_orientation) echo exif ;;
    fuzz_read_picture_file) echo files ;;
    fuzz_heif_decode) echo heic ;;
    fuzz_webp_decode) echo webp ;;
    fuzz_tiff_decode) echo tiff ;;
    fuzz_text_layout) echo text ;;
    *) echo jpeg ;;
  esac
}
dictionary() {
  mkdir -p "$build/dicts"
  local out="$build/dicts/$1.dict"
  case "$1" in
    fuzz_png_decode) cat fuzz/png.dict ;;
    fuzz_layout) cat fuzz/layout.dict fuzz/png.dict ;;
    fuzz_project) cat fuzz/project.dict fuzz/layout.dict ;;
    fuzz_card_json) cat fuzz/project.dict ;;
    fuzz_photo) cat fuzz/png.dict fuzz/jpeg.dict ;;
    fuzz_exif_orientation) cat fuzz/exif.dict ;;
    fuzz_read_picture_file) cat fuzz/png.dict fuzz/jpeg.dict fuzz/layout.dict fuzz/heif.dict fuzz/webp.dict ;;
    fuzz_heif_decode) cat fuzz/heif.dict ;;
    fuzz_webp_decode) cat fuzz/webp.dict fuzz/exif.dict ;;
    fuzz_tiff_decode) cat fuzz/exif.dict ;;
    fuzz_text_layout) cat fuzz/text.dict ;;
    *) cat fuzz/jpeg.dict ;;
  esac >"$out"
  echo "$out"
}

# TESSARY_FUZZ_TARGETS="fuzz_jpeg_decode fuzz_layout" fuzzes only those.
targets=()
for exe in "$build"/fuzz/fuzz_*; do
  [[ -x "$exe" ]] || continue
  if [[ -n "${TESSARY_FUZZ_TARGETS:-}" && " $TESSARY_FUZZ_TARGETS " != *" $(basename "$exe") "* ]]; then
    continue
  fi
  targets+=("$exe")
done
mkdir -p "$build/logs" "$build/findings"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

if [[ "$mode" == replay ]]; then
  mapfile -t inputs < <(find "$seeds" -type f | sort)
  passed=0
  for exe in "${targets[@]}"; do
    name=$(basename "$exe")
    log="$build/logs/$name.replay.log"
    if ! "$exe" -rss_limit_mb=2560 -timeout=60 "${inputs[@]}" >"$log" 2>&1; then
      tail -n 40 "$log" >&2
      echo "$name failed on a kept input; the whole log is $log" >&2
      exit 1
    fi
    passed=$((passed + 1))
  done
  echo "fuzz replay: ${#inputs[@]} inputs through each target"
  echo "replay: $passed passed, 0 failed"
  exit 0
fi

status=0
summary=()
for exe in "${targets[@]}"; do
  name=$(basename "$exe")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  log="$build/logs/$name.log"
  echo "== $name: $seconds s"
  if ! "$exe" "$corpus" "$seeds/$(seed_kind "$name")" "$seeds/kept" -dict="$(dictionary "$name")" \
    -max_total_time="$seconds" -rss_limit_mb=2560 -timeout=20 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$name-" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "$name: FINDING, see $log and $build/findings/" >&2
    summary+=("$(printf '%-24s %s' "$name" "FINDING")")
    status=1
    continue
  fi
  # The last status line: executions, coverage (edges) and features.
  grep -E '^#[0-9]+' "$log" | tail -n 1
  grep -E 'stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log"
  final_stat() { grep -E "stat::$1:" "$log" | awk '{print $2}' || true; }
  coverage=$(grep -E '^#[0-9]+' "$log" | tail -n 1 | sed -nE 's/.*cov: ([0-9]+).*/\1/p' || true)
  summary+=("$(printf '%-24s %12s %10s %8s %8s' "$name" "$(final_stat number_of_executed_units)" \
    "$(final_stat average_exec_per_sec)" "${coverage:-?}" "$(final_stat peak_rss_mb)")")
done
echo
echo "== fuzzing, $seconds s per target"
printf '%-24s %12s %10s %8s %8s\n' target executions "per s" edges "RSS MB"
for line in "${summary[@]}"; do echo "$line"; done
exit "$status"
