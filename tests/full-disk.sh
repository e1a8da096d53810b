#!/bin/sh
# A full disk: the temporary folder is a tmpfs of 16 KiB, filled up. On a full disk a
# file can be created but takes no byte, so an answer written without checking would
# be an empty file that reads as an answer. After report, checkip and refresh there is
# no qoreport.txt and no qopass.txt, and checkip leaves no capture. With room to spare on
# the same file system, the files hold what they hold anywhere else.
#
# The mount needs a mount namespace of the test's own (unshare, or the 32-bit stage's
# namespace), and Wine's server must run inside it to see the tmpfs: the test uses a
# prefix of its own (created on first use), whose server it starts and stops, with the
# stand-in tools in its system directory picked by WINEDLLOVERRIDES.
#   full-disk.sh BUILD_DIR WINELOADER WINE64 SYSTEM_DIR_NAME NAMESPACE_COMMAND...
# Exits 77 (counted as skipped) with the reason when no namespace or mount is possible.
set -eu

if [ "${1:-}" != "--inside" ]; then
  [ $# -ge 5 ] || { echo "usage: $0 BUILD_DIR WINELOADER WINE64 SYSTEM_DIR_NAME NAMESPACE_COMMAND..." >&2; exit 2; }
  build=$1 loader=$2 wine64=$3 sysname=$4; shift 4
  if ! why=$("$@" true 2>&1); then
    echo "SKIPPED: no mount namespace for the tmpfs: $why"
    exit 77
  fi
  exec "$@" sh "$0" --inside "$build" "$loader" "$wine64" "$sysname"
fi
shift
build=$1 loader=$2 wine64=$3 sysname=$4
work=$build/full-disk
full=$work/temp
mkdir -p "$full"
if ! why=$(mount -t tmpfs -o size=16k,mode=0777 korvadiag-full "$full" 2>&1); then
  echo "SKIPPED: cannot mount a tmpfs in this namespace: $why"
  exit 77
fi

wineserver=$(dirname "$wine64")/wineserver
export WINEPREFIX=$build/full-disk-prefix WINEARCH=win64 WINELOADER=$loader WINESERVER=$wineserver
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;ping.exe,ipconfig.exe=n,b"
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  env -u WINELOADER "$wine64" wineboot -i >/dev/null 2>&1 </dev/null
fi
system=$WINEPREFIX/drive_c/windows/$sysname
cp "$build/bin/standin/ping.exe" "$system/ping.exe"
cp "$build/bin/standin/IPConfig.exe" "$system/ipconfig.exe"
"$wineserver" -k 2>/dev/null || true   # the one that created the prefix
"$wineserver" -p </dev/null >/dev/null 2>&1
trap '"$wineserver" -k 2>/dev/null || true' EXIT
"$loader" cmd /c exit </dev/null >/dev/null 2>&1 || true

windows() { printf 'Z:%s\n' "$1" | sed 's|/|\\|g'; }
printf 'Reply from 127.0.0.1: bytes=32 time<1ms TTL=128\r\n%.0s' 1 2 3 4 >"$work/replies.txt"
export KD_STANDIN_OUTPUT
KD_STANDIN_OUTPUT=$(windows "$work/replies.txt")
elsewhere=$work/elsewhere
mkdir -p "$elsewhere"

# run TEMP_DIR WORD: korvadiag.exe WORD with TMP and TEMP naming TEMP_DIR (a Unix path);
# fails unless the exit code is 0.
run() {
  printf '@set TMP=%s\\\r\n@set TEMP=%s\\\r\n@"%s" %s\r\n' "$(windows "$1")" "$(windows "$1")" \
    "$(windows "$build/bin/korvadiag.exe")" "$2" >"$work/run.bat"
  "$loader" cmd /c "$(windows "$work/run.bat")" </dev/null >/dev/null 2>&1 ||
    { echo "FAIL: korvadiag.exe $2 did not end with exit code 0"; status=1; }
}
status=0
expect_absent() {
  if [ -e "$full/$1" ]; then
    echo "FAIL: after $2 on a full disk, $1 exists ($(wc -c <"$full/$1") bytes)"; status=1
  fi
}
expect_bytes() {
  if [ "$(od -An -c "$full/$1" 2>/dev/null)" != "$(printf "$2" | od -An -c)" ]; then
    echo "FAIL: after $3 with room to spare, $1 is not '$2':"; od -c "$full/$1" 2>&1 | head -5; status=1
  fi
}

# Full: a filler takes every block; files can still be created, but not written.
dd if=/dev/zero of="$full/filler" bs=1024 2>/dev/null || true
if printf x >"$full/probe" 2>/dev/null && [ -s "$full/probe" ]; then
  echo "FAIL: the tmpfs is not full"; exit 1
fi
rm -f "$full/probe"
for word in report checkip:127.0.0.1 refresh; do
  run "$full" "$word"
  expect_absent qoreport.txt "$word"
  expect_absent qopass.txt "$word"
done
run "$full" checkip:127.0.0.1
expect_absent RunSilent.txt checkip:127.0.0.1

# Room to spare on the same file system: every byte as anywhere else.
rm -f "$full/filler" "$full/RunSilent.txt"
run "$full" checkip:127.0.0.1
expect_bytes qopass.txt 'found 127.0.0.1\r\n' checkip:127.0.0.1
expect_absent RunSilent.txt checkip:127.0.0.1
run "$full" refresh
expect_bytes qopass.txt 'refresh\r\n' refresh
expect_bytes RunSilent.txt 'Reply from 127.0.0.1: bytes=32 time<1ms TTL=128\r\nReply from 127.0.0.1: bytes=32 time<1ms TTL=128\r\nReply from 127.0.0.1: bytes=32 time<1ms TTL=128\r\nReply from 127.0.0.1: bytes=32 time<1ms TTL=128\r\n' refresh
run "$full" report
run "$elsewhere" report
# The free space of C: may move between the two reports; every other byte is the same.
if [ "$(grep -v '^HD=' "$full/qoreport.txt")" != "$(grep -v '^HD=' "$elsewhere/qoreport.txt")" ] ||
   [ "$(grep -c "$(printf '\r')\$" "$full/qoreport.txt")" != 8 ]; then
  echo "FAIL: the report on the tmpfs differs from the one elsewhere:"
  od -c "$full/qoreport.txt" | head -20; status=1
fi
[ $status -eq 0 ] && echo "full disk: no answer left half-written; with room, the answers are whole"
exit $status
