#!/usr/bin/env bash
# A private CUPS server with PDF printers, for the printing tests:
#
#   scripts/cups-test-printer.sh start FOLDER   starts it, prints its socket
#   scripts/cups-test-printer.sh stop FOLDER    stops it and removes it
#
# Everything it keeps (configuration, spool, logs, the printed PDFs in
# FOLDER/out) lies in FOLDER; clients reach it with CUPS_SERVER=FOLDER/cups.sock.
# Two printers: "TessaryPDF" (no margins, as the PDF driver says) and
# "TessaryPDFMargins" (the same driver told to keep 1/4 in on the sides and
# 1/2 in at top and bottom, as a home printer might). The PDF driver reads
# its settings only from /etc/cups, so one file of its own goes there while
# the server runs and is gone after "stop". Needs root (the PDF driver runs
# as root under cupsd) and the packages cups and printer-driver-cups-pdf
# (scripts/install-deps.sh).
set -euo pipefail
action="${1:-}"
folder="${2:-}"
if [[ -z "$action" || -z "$folder" ]]; then
  echo "usage: $0 start|stop FOLDER" >&2
  exit 2
fi
mkdir -p "$folder"
folder="$(cd "$folder" && pwd)"
# One driver settings file per folder, so two test runs never share one.
instance="tessary-$(printf '%s' "$folder" | cksum | cut -d' ' -f1)"
driver_conf="/etc/cups/cups-pdf-$instance.conf"

stop() {
  if [[ -f "$folder/cupsd.pid" ]]; then
    pid="$(cat "$folder/cupsd.pid")"
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid"
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -f "$folder/cupsd.pid"
  fi
  rm -f "$driver_conf"
}

case "$action" in
  stop)
    stop
    exit 0
    ;;
  start) ;;
  *)
    echo "usage: $0 start|stop FOLDER" >&2
    exit 2
    ;;
esac

if [[ $(id -u) -ne 0 ]]; then
  echo "cups-test-printer: needs root (the PDF driver runs as root)" >&2
  exit 3
fi
for tool in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/lib/cups/backend/cups-pdf; do
  if [[ ! -x "$tool" ]]; then
    echo "cups-test-printer: $tool is missing (scripts/install-deps.sh installs it)" >&2
    exit 3
  fi
done
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[[ -f "$ppd" ]] || { echo "cups-test-printer: $ppd is missing" >&2; exit 3; }

stop
rm -rf "$folder/etc" "$folder/spool" "$folder/cache" "$folder/state" "$folder/log" "$folder/out"
mkdir -p "$folder/etc/ppd" "$folder/spool/tmp" "$folder/cache" "$folder/state" "$folder/log" \
  "$folder/out"
chmod 0755 "$folder" "$folder/out"
socket="$folder/cups.sock"

cat > "$folder/etc/cupsd.conf" <<CONF
Listen $socket
LogLevel warn
WebInterface No
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat > "$folder/etc/cups-files.conf" <<CONF
ServerRoot $folder/etc
RequestRoot $folder/spool
TempDir $folder/spool/tmp
CacheDir $folder/cache
StateDir $folder/state
ErrorLog $folder/log/error_log
AccessLog $folder/log/access_log
PageLog $folder/log/page_log
FileDevice No
CONF
cat > "$driver_conf" <<CONF
Out $folder/out
AnonDirName $folder/out
Label 0
TitlePref 1
UserUMask 0022
CONF

# In the foreground of a session of its own, so that its id is known here
# and it outlives this script.
setsid /usr/sbin/cupsd -f -c "$folder/etc/cupsd.conf" -s "$folder/etc/cups-files.conf" \
  </dev/null >"$folder/log/cupsd.out" 2>&1 &
echo $! > "$folder/cupsd.pid"
export CUPS_SERVER="$socket"
for _ in $(seq 100); do
  lpstat -r >/dev/null 2>&1 && break
  sleep 0.1
done
if ! lpstat -r >/dev/null 2>&1; then
  echo "cups-test-printer: cupsd did not start; see $folder/log/error_log" >&2
  stop
  exit 1
fi

# The same driver with margins: ImageableArea "left bottom right top" in points.
awk '/^\*ImageableArea / {
       match($0, /"[^"]*"/); split(substr($0, RSTART + 1, RLENGTH - 2), a, " ");
       printf "%s\"%g %g %g %g\"\n", substr($0, 1, RSTART - 1), a[1] + 18, a[2] + 36, a[3] - 18, a[4] - 36;
       next }
     { print }' "$ppd" > "$folder/margins.ppd"
lpadmin -p TessaryPDF -E -v "cups-pdf:/$instance" -P "$ppd"
lpadmin -p TessaryPDFMargins -E -v "cups-pdf:/$instance" -P "$folder/margins.ppd"
lpadmin -d TessaryPDF
echo "$socket"
