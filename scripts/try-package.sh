#!/usr/bin/env bash
# Installs a Tessary package into a fresh, minimal Debian 12 with
# `apt install ./tessary_*.deb`, as a user would, and starts the program the
# way its menu entry does (the desktop file's Exec line) on a virtual X
# display inside that system. Needs root and debootstrap; the system is made
# in a temporary folder and removed at the end. Used by scripts/package.sh --try.
set -euo pipefail
deb=$(realpath "$1")
mirror="${TESSARY_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
root=$(mktemp -d /var/tmp/tessary-fresh.XXXXXX)
cleanup() {
  if mountpoint -q "$root/proc"; then umount "$root/proc" || umount -l "$root/proc"; fi
  # Never into a file system mounted inside (such as a /proc still there).
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT

echo "Making a fresh Debian 12 in $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 || {
  tail -20 "$root.log" >&2
  exit 1
}
rm -f "$root.log"
mount -t proc proc "$root/proc"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

echo "apt install ./$(basename "$deb")"
in_root sh -c "cd /tmp && DEBIAN_FRONTEND=noninteractive apt-get install -y -q ./$(basename "$deb")" \
  >"$root/tmp/apt.log" 2>&1 || { tail -30 "$root/tmp/apt.log" >&2; exit 1; }
grep -E '^(Need to get|After this operation)' "$root/tmp/apt.log" || true

# What the desktop sees once the package's triggers have run.
for f in usr/share/mime/application/x-tessary-layout.xml usr/share/applications/mimeinfo.cache \
  usr/share/icons/hicolor/icon-theme.cache; do
  if [[ -e "$root/$f" ]]; then echo "present: /$f"; else echo "absent (its tool is not installed): /$f"; fi
done

# The display, the way a desktop would offer one; not part of the package.
in_root sh -c 'DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends xvfb' \
  >/dev/null 2>&1
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/tessary.desktop")
command=${exec_line% %F}
echo "Starting '$command' (the menu entry's Exec line) on Xvfb"
status=0
in_root sh -c "Xvfb :7 -screen 0 1240x820x24 >/dev/null 2>&1 & x=\$!; sleep 2;
  DISPLAY=:7 timeout 6 $command >/tmp/run.log 2>&1; s=\$?; kill \$x; exit \$s" || status=$?
cat "$root/tmp/run.log"
# 124: still running when timeout ended it, so the window was up.
if [[ $status -ne 124 ]]; then
  echo "the program ended by itself with status $status" >&2
  exit 1
fi
echo "the program started from its menu entry and was running after 6 seconds"
