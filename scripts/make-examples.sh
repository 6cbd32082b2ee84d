#!/usr/bin/env bash
# Makes examples/ again: the artwork generator draws each example layout's
# region map and overlay, tessary-layout --strict packs them (so an example
# that draws a warning fails here), and tessary-render makes a card from each
# with stand-in photos the generator draws too. Everything is deterministic;
# the test_tools suite checks that the committed .jli files are what the tool
# packs from the committed pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --artwork
build=build-artwork
cmake -S . -B "$build" -G Ninja -DTESSARY_ARTWORK=ON -DTESSARY_GUI=OFF -DTESSARY_TESTS=OFF \
  >/dev/null
cmake --build "$build" --target tessary-artwork tessary-layout tessary-render
photos=$(mktemp -d)
trap 'rm -rf "$photos"' EXIT
"$build/resources/generator/tessary-artwork" --examples examples --photos "$photos"

layout="$build/tools/tessary-layout"
render="$build/tools/tessary-render"
for name in instant-prints film-strip; do
  "$layout" --strict "examples/$name/regions.png" "examples/$name/overlay.png" \
    -o "examples/$name/$name.jli"
done
"$render" --layout examples/instant-prints/instant-prints.jli --photo 0="$photos/photo-1.png" \
  --photo 1="$photos/photo-2.png" --photo 2="$photos/photo-3.png" \
  -o examples/instant-prints/card.jpg
"$render" --layout examples/film-strip/film-strip.jli --photo 0="$photos/photo-4.png" \
  --photo 1="$photos/photo-5.png" --photo 2="$photos/photo-6.png" --photo 3="$photos/photo-7.png" \
  -o examples/film-strip/card.jpg
echo "examples/ written"
