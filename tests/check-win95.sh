#!/bin/sh
# The shipped 32-bit exe must load on Windows 95 and NT 4.0: a GUI subsystem and PE
# operating-system and subsystem versions of 4.0 at most, and no static import that
# those systems lack (the list beside this script, and every secure-CRT "_s" function).
# Usage: check-win95.sh OBJDUMP EXE LIST
objdump=$1 exe=$2 list=$3
header=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }
field() { echo "$header" | awk -v name="$1" '$1 == name { print $2; exit }'; }
status=0
subsystem=$(field Subsystem)
[ "$subsystem" = "00000002" ] || { echo "expected the Windows GUI subsystem (2), got $subsystem"; status=1; }
for name in MajorOSystemVersion MajorSubsystemVersion; do
  value=$(field $name)
  if [ -z "$value" ] || [ "$value" -gt 4 ]; then
    echo "expected $name of 4 at most, got '$value'"; status=1
  fi
done
imports=$(echo "$header" | awk '
  /DLL Name:/ { dll = toupper($3); next }
  dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { print dll " " $3 }
  /^$/ { if (dll != "") dll = "" }')
[ -n "$imports" ] || { echo "no imported functions read from $exe"; exit 1; }
echo "$(echo "$imports" | wc -l) imported functions checked"
denied=$(grep -v '^#' "$list" | grep -v '^$')
bad=$(echo "$imports" | while read -r dll fn; do
  if echo "$denied" | grep -qx "$fn"; then echo "$dll $fn"
  elif [ "$dll" = MSVCRT.DLL ] && echo "$fn" | grep -q '_s$'; then echo "$dll $fn"; fi
done)
if [ -n "$bad" ]; then
  echo "imports that Windows 95 or NT 4.0 lack:"; echo "$bad" | sed 's/^/  /'
  status=1
fi
exit $status
