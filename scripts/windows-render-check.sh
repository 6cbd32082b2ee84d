#!/usr/bin/env bash
# tessary-render.exe under Wine must write the very bytes the Linux
# tessary-render writes for the same arguments: JPEG and PNG, draft and full
# quality, photos with pans, a custom layout, a Unicode file name, print sizes
# (a built-in design's print version, a layout stamped with --ppi), HEIC, WebP
# and TIFF photos, turned and mirrored photos, words in Latin, Cyrillic,
# Arabic and Hebrew type in the bundled families with every style and effect;
# PDFs with the same pages, words, fonts and images.
#   windows-render-check.sh TESSARY-RENDER.EXE LINUX-TESSARY-RENDER
set -euo pipefail
exe="$1"
linux="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8  # arguments reach Wine's programs as UTF-8
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
tessary_wine_env
tessary_wine_prefix

"$root/scripts/make-sample-photos.sh" "$work/in" >/dev/null
convert "$work/in/beach.jpg" -resize 800x600 "$work/in/beach.png"
cp "$work/in/night.jpg" "$work/in/Überraschung café.jpg"
layout_exe="$(dirname "$exe")/tessary-layout.exe"
wine "$layout_exe" "Z:$root/resources/templates/203-template1-regions.png" \
  "Z:$root/resources/templates/204-template1-overlay.png" -o "Z:$work/in/custom.jli"
"$(dirname "$linux")/tessary-layout" "$root/resources/templates/203-template1-regions.png" \
  "$root/resources/templates/204-template1-overlay.png" -o "$work/in/custom-linux.jli"
wine "$layout_exe" --ppi 300 "Z:$root/resources/templates/317-postcard-print-regions.png" \
  "Z:$root/resources/templates/318-postcard-print-overlay.png" -o "Z:$work/in/print.jli"
"$(dirname "$linux")/tessary-layout" --ppi 300 \
  "$root/resources/templates/317-postcard-print-regions.png" \
  "$root/resources/templates/318-postcard-print-overlay.png" -o "$work/in/print-linux.jli"

failures=0
check() {  # NAME ARGS... (paths under IN/ are the inputs)
  local name="$1"
  shift
  local linux_args=() wine_args=()
  for a in "$@"; do
    linux_args+=("${a//IN\//$work/in/}")
    wine_args+=("${a//IN\//Z:$work/in/}")
  done
  mkdir -p "$work/linux" "$work/wine"
  "$linux" "${linux_args[@]}" -o "$work/linux/$name"
  wine "$exe" "${wine_args[@]}" -o "Z:$work/wine/$name"
  if cmp -s "$work/linux/$name" "$work/wine/$name"; then
    echo "same bytes: $name"
  else
    echo "DIFFERENT: $name ($*)" >&2
    failures=$((failures + 1))
  fi
}

for jli in custom print; do
  if cmp -s "$work/in/$jli.jli" "$work/in/$jli-linux.jli"; then
    echo "same bytes: $jli.jli (tessary-layout)"
  else
    echo "DIFFERENT: $jli.jli (tessary-layout)" >&2
    failures=$((failures + 1))
  fi
done
check t0-draft.png --template 0 --draft
check t0-photos.jpg --template 0 --photo 0=IN/sunset.jpg --photo 1=IN/beach.png \
  --photo 4=IN/smile.jpg --pan 0=0.3,0.7 --pan 4=0.5,0.25
check t1-draft.jpg --template 1 --photo 2=IN/Überraschung\ café.jpg --photo 0=IN/meadow.jpg --draft
check t2-full.png --template 2 --photo 0=IN/night.jpg --photo 1=IN/beach.jpg --photo 2=IN/smile.jpg \
  --pan 1=0.9,0.1
check layout-small.png --layout IN/custom.jli --photo 0=IN/sunset.jpg --pan 0=0.2,0.6 \
  --size 450x300 --draft
check layout-full.jpg --layout IN/custom.jli --photo 1=IN/beach.png --photo 0=IN/meadow.jpg
check t0-print.jpg --template 0 --print --photo 0=IN/sunset.jpg --photo 3=IN/beach.png \
  --zoom 0=2.5 --pan 0=0.4,0.6
check t5-print.png --template 5 --print --photo 0=IN/smile.jpg --photo 2=IN/night.jpg
check layout-print.jpg --layout IN/print.jli --print --photo 0=IN/meadow.jpg
# Phones' and the web's formats, and turned photos, decoded by the cross-built libraries.
"$root/tests/tools/make-format-photos.sh" "$work/in/formats"
check formats.png --template 0 --photo 0=IN/formats/photo.heic --photo 1=IN/formats/photo.webp \
  --photo 2=IN/formats/turned6.tiff --photo 3=IN/formats/alpha.heic --photo 4=IN/formats/alpha.webp
check turned.jpg --template 2 --photo 0=IN/night.jpg --turn 0=90 --photo 1=IN/formats/alpha.tiff \
  --mirror 1 --photo 2=IN/smile.jpg --turn 2=270 --mirror 2 --pan 2=0.3,0.6
# Words set by the cross-built HarfBuzz and FreeType from the bundled fonts.
check text.png --template 3 --text "Happy birthday, Anna! Привет, мир" --font "Dancing Script" \
  --size 36 --colour "#b03060" --effect outline \
  --text "مرحبا بالعالم 2024 שלום" --text-box 0.1,0.04,0.8,0.25 --font "DejaVu Serif" \
  --size 28 --bold --italic --effect shadow --colour "#ffffff" \
  --text $'Ünïcödé\nWAVE office' --text-box 0.55,0.55,0.4,0.4 --align right --size 20
check text-print.jpg --template 5 --print --photo 0=IN/smile.jpg --text "Анна & Ilya" \
  --text "left" --text-box 0.05,0.05,0.5,0.1 --align left --font "DejaVu Sans" --bold
check text-size.png --template 0 --size 450x300 --text "Half size" --font "Nowhere Sans"

# Standard output takes the card's bytes as they are (no text-mode line ends).
"$linux" --template 1 --photo 1=$work/in/smile.jpg -o - >"$work/linux/stdout.jpg"
wine "$exe" --template 1 --photo "1=Z:$work/in/smile.jpg" -o - >"$work/wine/stdout.jpg"
if cmp -s "$work/linux/stdout.jpg" "$work/wine/stdout.jpg"; then
  echo "same bytes: -o - (standard output)"
else
  echo "DIFFERENT: -o - (standard output)" >&2
  failures=$((failures + 1))
fi

# A PDF carries its creation date, so the two are compared by what poppler
# reads from them: the page size, the words and the fonts they are drawn
# from, the images drawn and the embedded JPEG. The six letters cairo puts
# before an embedded font's name hash an array of unsigned longs, 8 bytes on
# Linux and 4 on Windows: they differ, and are left out.
pdf_summary() {
  pdfinfo "$1" | grep -E '^(Pages|Page size):'
  pdftotext "$1" -
  pdffonts "$1" | sed -E 's/^[A-Z]{6}\+//'
  pdfimages -list "$1"
  rm -rf "$1.images" && mkdir "$1.images" && pdfimages -all "$1" "$1.images/img"
  sha256sum "$1.images"/* | cut -d' ' -f1
}
check_pdf() {  # NAME ARGS...
  local name="$1"
  shift
  mkdir -p "$work/linux" "$work/wine"
  "$linux" "$@" -o "$work/linux/$name"
  wine "$exe" "$@" -o "Z:$work/wine/$name"
  if [[ "$(pdf_summary "$work/linux/$name")" == "$(pdf_summary "$work/wine/$name")" ]]; then
    echo "same page, words, fonts and images: $name"
  else
    echo "DIFFERENT: $name ($*)" >&2
    failures=$((failures + 1))
  fi
}
check_pdf t0-print.pdf --template 0 --print
check_pdf t5-sheet.pdf --template 5 --paper letter --placement sheet
check_pdf text.pdf --template 4 --print --text "Thank you, Grandma!"
check_pdf styles.pdf --template 0 --paper a4 --placement sheet --text "Slanted" --italic \
  --effect outline --text "Bold" --text-box 0.1,0.6,0.8,0.3 --font "DejaVu Serif" --bold

if ((failures)); then
  echo "tessary-render.exe: $failures outputs differ from Linux" >&2
  exit 1
fi
echo "tessary-render.exe writes the same bytes as on Linux"
