#!/usr/bin/env bash
# Makes the Debian package from the build, as scripts/package.sh does, and
# checks its control fields and its contents (dpkg-deb -f / -c).
#
#   check-package.sh BUILD_DIR VERSION
# No pipefail: several checks end a pipe with grep -q or head, which may close
# it early.
set -eu
build=$1
version=$2
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log" >&2
  exit 1
}
deb="$work/tessary_${version}-1_$(dpkg --print-architecture).deb"
[[ -f "$deb" ]] || { echo "FAIL: no $deb" >&2; ls "$work" >&2; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[[ "$(field Package)" == "tessary" ]] || fail "Package: $(field Package)"
[[ "$(field Version)" == "$version-1" ]] || fail "Version: $(field Version)"
[[ "$(field Architecture)" == "$(dpkg --print-architecture)" ]] || fail "Architecture"
[[ "$(field Section)" == "graphics" ]] || fail "Section: $(field Section)"
[[ "$(field Priority)" == "optional" ]] || fail "Priority: $(field Priority)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[[ "$(field Homepage)" =~ ^https?:// ]] || fail "Homepage: $(field Homepage)"
description=$(field Description)
[[ "$(head -1 <<<"$description")" == "greeting card maker for your photos" ]] ||
  fail "Description summary: $(head -1 <<<"$description")"
[[ $(wc -l <<<"$description") -ge 5 ]] || fail "Description has no long text"
# Every continuation line of the long text is indented by one space.
tail -n +2 <<<"$description" | grep -qv '^ ' && fail "Description lines not indented"
[[ "$(field Installed-Size)" -gt 0 ]] || fail "Installed-Size"

# Dependencies are computed (versioned, from the libraries the programs
# link), and each names a package that this build machine has installed.
depends=$(field Depends)
for library in libc6 libstdc++6 libpng16-16 libjpeg62-turbo libqt6core6 libqt6gui6 libqt6widgets6; do
  tr ',' '\n' <<<"$depends" | sed 's/^ *//' | grep -qF "$library (>= " ||
    fail "Depends lacks a versioned $library: $depends"
done
for package in $(tr ',' '\n' <<<"$depends" | sed 's/(.*)//; s/|.*//' | tr -d ' '); do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    fail "Depends names $package, which is not an installed Debian package here"
done

# Contents: the same files as `cmake --install`, under /usr, owned by root,
# programs executable and stripped, data read-only for others.
grep -v '^#' "$here/installed-files.txt" | sed 's|^|./usr/|' | sort >"$work/expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort >"$work/actual"
diff -u "$work/expected" "$work/actual" >&2 || fail "package contents differ from installed-files.txt"
dpkg-deb -c "$deb" | awk '$2 != "root/root" {print}' | grep . && fail "files not owned by root"
while read -r mode _ _ _ _ path; do
  case "$path" in
    */) [[ "$mode" == "drwxr-xr-x" ]] || fail "$path: $mode" ;;
    ./usr/bin/*) [[ "$mode" == "-rwxr-xr-x" ]] || fail "$path: $mode" ;;
    *) [[ "$mode" == "-rw-r--r--" ]] || fail "$path: $mode" ;;
  esac
done < <(dpkg-deb -c "$deb")
dpkg-deb -x "$deb" "$work/root"
for program in tessary tessary-render tessary-layout tessary-thumbnailer; do
  file -b "$work/root/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
done

if ((failures)); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package checked: $(basename "$deb"), $(wc -l <"$work/actual") files, Depends: $depends"
