#!/usr/bin/env bash
# Installs, from Debian 12's packages, what the Windows cross-build and its
# tests under Wine need, and adds Debian's source archive to apt so that the
# libraries' sources can be fetched (scripts/windows-sysroot.sh). Safe to run
# again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev nasm meson googletest
  fonts-dejavu-core fonts-dancingscript  # shipped with the program, used by its tests
  wine wine64 fonts-wine xvfb xauth xdotool zip dpkg-dev imagemagick
)
if [[ "${1:-}" == "--screenshot" ]]; then
  packages+=(openbox wmctrl)
fi

sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 "$@"; }

updated=0
# apt-get source needs a deb-src entry; it mirrors the deb entry of the
# archive the machine already uses.
sources=/etc/apt/sources.list.d/debian.sources
deb_src=/etc/apt/sources.list.d/tessary-debian-src.sources
if [[ ! -f "$deb_src" ]] && ! grep -qs '^Types:.*deb-src' "$sources" /etc/apt/sources.list \
    /etc/apt/sources.list.d/*.sources 2>/dev/null; then
  if [[ -f "$sources" ]]; then
    # The first stanza is the main archive; security updates have no sources
    # of the versions this build pins.
    awk 'BEGIN{RS=""; ORS="\n\n"} NR==1 {sub(/^Types: *deb/, "Types: deb-src"); print}' \
      "$sources" | $sudo tee "$deb_src" >/dev/null
  else
    grep -m1 '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      $sudo tee /etc/apt/sources.list.d/tessary-debian-src.list >/dev/null
  fi
  apt_get update -qq
  updated=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  ((updated)) || apt_get update -qq
  apt_get install -y -qq --no-install-recommends "${missing[@]}"
fi
