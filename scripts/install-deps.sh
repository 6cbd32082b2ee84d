#!/usr/bin/env bash
# Installs, from Debian 12's packages, whatever the build and the tests need
# and is not there yet. Safe to run again: it does nothing when all is present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libpng-dev libjpeg62-turbo-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  xvfb xauth
  # What PDF and printing, text, project files and more photo formats build
  # on, and the fonts that ship with the program.
  libcairo2-dev libharfbuzz-dev libfreetype-dev libzip-dev nlohmann-json3-dev
  libheif-dev libwebp-dev libtiff-dev
  # The system's font families, offered for text beside the bundled ones.
  libfontconfig-dev
  fonts-dejavu-core fonts-dancingscript
  # Tests make and read their inputs with these: PDFs, WebP, TIFF and HEIF.
  poppler-utils webp libtiff-tools libheif-examples imagemagick
  # Printing: a private CUPS server with a PDF printer that the tests print to.
  cups printer-driver-cups-pdf
  clang libclang-rt-14-dev
  # The desktop files' checks and the package: validators, the MIME database,
  # a MIME lookup that reads it (gio), dpkg-shlibdeps, the manual page checker.
  desktop-file-utils appstream shared-mime-info libglib2.0-bin dpkg-dev groff-base
)
# --artwork (the generator's cairo) needs nothing more: cairo is always there.
if [[ "${1:-}" == "--screenshot" ]]; then
  packages+=(xdotool openbox wmctrl)
fi
if [[ "${1:-}" == "--package-try" ]]; then
  packages+=(debootstrap)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
  $sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
fi
