#!/usr/bin/env bash
# Installs the build into a staging folder (DESTDIR) as a user or a package
# would, and checks every file the desktop relies on: the file list, the
# programs, the menu entry and the software-centre description (with the
# validators the desktop uses), the icon sizes, the layout file type (through
# a MIME database made from the staged files only, read by gio, which reads
# the shared-mime-info database as file managers do), the project file type
# and its thumbnailer, and the manual pages.
#
#   check-install.sh BUILD_DIR SOURCE_DIR VERSION
# No pipefail: several checks end a pipe with grep -q or head, which may close
# it early.
set -eu
build=$1
source=$2
version=$3
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

stage="$work/stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
usr="$stage/usr"

# The file list, exactly.
grep -v '^#' "$here/installed-files.txt" | sort >"$work/expected"
(cd "$usr" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/actual"
diff -u "$work/expected" "$work/actual" >&2 || fail "installed files differ from installed-files.txt"

# The programs run from where they were installed.
for tool in tessary-layout tessary-render tessary-thumbnailer; do
  "$usr/bin/$tool" --help >"$work/$tool.help" || fail "$tool --help"
done
cmp -s "$source/docs/help.html" "$usr/share/tessary/help.html" || fail "help page differs"
grep -q 'id="custom-layouts"' "$usr/share/tessary/help.html" || fail "help page lost #custom-layouts"
# The window opens (offscreen) and keeps running until it is ended.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$usr/bin/tessary" >"$work/run.log" 2>&1 || status=$?
[[ $status -eq 124 ]] || fail "installed tessary ended by itself with status $status: $(cat "$work/run.log")"

# The menu entry.
desktop="$usr/share/applications/tessary.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate tessary.desktop"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[[ "$(entry Name)" == "Tessary" ]] || fail "Name=$(entry Name)"
[[ "$(entry GenericName)" == "Greeting card maker" ]] || fail "GenericName=$(entry GenericName)"
[[ "$(entry Exec)" == "tessary %F" ]] || fail "Exec=$(entry Exec)"
[[ "$(entry Icon)" == "tessary" ]] || fail "Icon=$(entry Icon)"
[[ -n "$(entry Comment)" ]] || fail "no Comment"
for category in Graphics Photography; do
  [[ ";$(entry Categories)" == *";$category;"* ]] || fail "Categories lacks $category"
done
for type in image/jpeg image/png image/heic image/heif image/webp image/tiff \
  application/x-tessary-layout application/x-tessary-project; do
  [[ ";$(entry MimeType)" == *";$type;"* ]] || fail "MimeType lacks $type"
done
[[ -x "$usr/bin/$(entry Exec | cut -d' ' -f1)" ]] || fail "Exec names no installed program"

# The software-centre description: valid, and naming what was installed.
metainfo="$usr/share/metainfo/org.tessary.tessary.metainfo.xml"
appstreamcli validate --no-net --pedantic "$metainfo" >"$work/appstream.log" 2>&1 ||
  fail "appstreamcli validate: $(cat "$work/appstream.log")"
grep -q '<launchable type="desktop-id">tessary.desktop</launchable>' "$metainfo" ||
  fail "metainfo launchable is not tessary.desktop"
grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$metainfo" ||
  fail "metainfo has no release $version"
grep -Eq '<image[^>]*>https?://[^<]+\.png</image>' "$metainfo" || fail "metainfo has no screenshot"
for binary in $(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo"); do
  [[ -x "$usr/bin/$binary" ]] || fail "metainfo provides $binary, which is not installed"
done
[[ "$(sed -n 's|.*<icon type="stock">\(.*\)</icon>.*|\1|p' "$metainfo")" == "$(entry Icon)" ]] ||
  fail "metainfo and desktop entry name different icons"

# Icons: PNG pictures of the size their folder says.
for size in 16 24 32 48 64 128 256; do
  for icon in apps/tessary mimetypes/application-x-tessary-layout \
    mimetypes/application-x-tessary-project; do
    png="$usr/share/icons/hicolor/${size}x${size}/$icon.png"
    file -b "$png" | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" ||
      fail "$png: $(file -b "$png")"
  done
done

# The layout file type. The database is made from the staged package alone
# and is the only one gio may read; a layout is recognised by its name and,
# renamed, by its first bytes.
# (update-mime-database notes that the staged folder is not searched; true.)
update-mime-database "$usr/share/mime" 2>/dev/null
update-desktop-database "$usr/share/applications"
mkdir -p "$work/home" "$work/config"
"$usr/bin/tessary-layout" "$source/resources/templates/201-template0-regions.png" \
  "$source/resources/templates/202-template0-overlay.png" -o "$work/card.jli" ||
  fail "installed tessary-layout cannot pack the first built-in template"
cp "$work/card.jli" "$work/card-without-extension"
cp "$source/resources/templates/201-template0-regions.png" "$work/picture.jli.png"
type_of() {
  env GIO_USE_VFS=local XDG_DATA_HOME="$work/home" XDG_DATA_DIRS="$usr/share" \
    XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/config" \
    gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'
}
for f in card.jli card-without-extension; do
  [[ "$(type_of "$work/$f")" == "application/x-tessary-layout" ]] ||
    fail "$f is $(type_of "$work/$f"), not application/x-tessary-layout"
done
[[ "$(type_of "$work/picture.jli.png")" != "application/x-tessary-layout" ]] ||
  fail "a PNG picture is taken for a layout"
default=$(env GIO_USE_VFS=local PATH="$usr/bin:$PATH" XDG_DATA_HOME="$work/home" \
  XDG_DATA_DIRS="$usr/share" XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/config" \
  gio mime application/x-tessary-layout | head -1)
[[ "$default" == *"tessary.desktop"* ]] || fail "layout files do not open with Tessary: $default"

# The project file type: by its name and, renamed, by its first bytes (a zip
# whose first entry is card.json); any other zip is not one.
"$usr/bin/tessary-render" --template 1 --save-project "$work/card.tessary" ||
  fail "installed tessary-render cannot save a project"
cp "$work/card.tessary" "$work/project-without-extension"
cp "$work/card.tessary" "$work/other.zip"
printf 'notes.txt' | dd of="$work/other.zip" bs=1 seek=30 conv=notrunc status=none
for f in card.tessary project-without-extension; do
  [[ "$(type_of "$work/$f")" == "application/x-tessary-project" ]] ||
    fail "$f is $(type_of "$work/$f"), not application/x-tessary-project"
done
[[ "$(type_of "$work/other.zip")" != "application/x-tessary-project" ]] ||
  fail "a zip whose first entry is not card.json is taken for a project"
default=$(env GIO_USE_VFS=local PATH="$usr/bin:$PATH" XDG_DATA_HOME="$work/home" \
  XDG_DATA_DIRS="$usr/share" XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/config" \
  gio mime application/x-tessary-project | head -1)
[[ "$default" == *"tessary.desktop"* ]] || fail "projects do not open with Tessary: $default"

# The thumbnailer, run as a file manager runs it: its Exec line with the
# size, the project and the output filled in.
thumbnailer="$usr/share/thumbnailers/tessary.thumbnailer"
grep -qx 'MimeType=application/x-tessary-project;' "$thumbnailer" || fail "thumbnailer MimeType"
exec_line=$(sed -n 's/^Exec=//p' "$thumbnailer")
exec_line=${exec_line//%s/128}
exec_line=${exec_line//%i/$work/card.tessary}
exec_line=${exec_line//%o/$work/thumbnail.png}
PATH="$usr/bin:$PATH" $exec_line || fail "the thumbnailer failed: $exec_line"
file -b "$work/thumbnail.png" | grep -q '^PNG image data, 128 x 85' ||
  fail "thumbnail: $(file -b "$work/thumbnail.png")"

# Manual pages: clean roff, and every option a tool's --help names documented.
for page in tessary tessary-render tessary-layout tessary-thumbnailer; do
  gz="$usr/share/man/man1/$page.1.gz"
  gzip -dc "$gz" >"$work/$page.1" || { fail "$gz is not gzip"; continue; }
  warnings=$(groff -man -ww -z -Tutf8 "$work/$page.1" 2>&1)
  [[ -z "$warnings" ]] || fail "$page.1: $warnings"
  grep -q "^${page//-/\\\\-} \\\\- " "$work/$page.1" || fail "$page.1: NAME line"
  if [[ -f "$work/$page.help" ]]; then
    for option in $(grep -oE '(^|[ [|])--?[a-z]+' "$work/$page.help" | grep -oE -- '--?[a-z]+' | sort -u); do
      grep -qF -- "${option//-/\\-}" "$work/$page.1" || fail "$page.1 does not document $option"
    done
  fi
done
grep -q 'FILE' "$work/tessary.1" || fail "tessary.1: no FILE argument"

if ((failures)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "installation checked: $(wc -l <"$work/expected") files"
