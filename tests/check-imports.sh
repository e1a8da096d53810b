#!/bin/sh
# What korvadiag.exe asks of the loader: every function it imports must be one the
# allow-list names (each exported under that name by Windows 95 as first released and
# by Windows NT 3.51), so a C runtime DLL of any name, or a newer function, cannot come
# back unnoticed. Nothing is imported late through a delay-load table either: every
# other library is loaded by the program itself where it is used. With the product's
# static library given, its objects must hold no static constructors, which nothing
# would run without the C runtime's start-up code.
# Usage: check-imports.sh OBJDUMP EXE ALLOW-LIST [CORE-LIBRARY]
objdump=$1 exe=$2 list=$3 core=${4:-}
header=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }
status=0
imports=$(echo "$header" | awk '
  /DLL Name:/ { dll = toupper($3); next }
  dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ { print dll " " $3; next }
  dll != "" && /^\t[0-9a-f]+\t/ { print dll " (by ordinal) " $0 }
  /^$/ { dll = "" }' | sort -u)
[ -n "$imports" ] || { echo "no imported functions read from $exe"; exit 1; }
echo "imports of $exe:"; echo "$imports" | awk '{ print $1 }' | uniq -c | sed 's/^ */  /'
allowed=$(grep -v '^#' "$list" | grep -v '^$' | awk '{ print toupper($1) " " $2 }')
unlisted=$(echo "$imports" | while read -r line; do
  echo "$allowed" | grep -qxF "$line" || echo "$line"
done)
if [ -n "$unlisted" ]; then
  echo "imports that the allow-list does not name:"; echo "$unlisted" | sed 's/^/  /'
  status=1
fi
delay=$(echo "$header" | awk '/Delay Import Directory/ { print $3 $4 }')
if ! echo "$delay" | grep -qE '^0+$'; then
  echo "expected no delay-load imports, got a delay import directory: $delay"
  status=1
fi
if [ -n "$core" ]; then
  ctors=$("$objdump" -h "$core" | grep -E '[[:space:]]\.(ctors|dtors|init_array|fini_array|CRT\$X)' )
  if [ -n "$ctors" ]; then
    echo "static constructors or destructors in $core:"; echo "$ctors" | sed 's/^/  /'
    status=1
  fi
fi
exit $status
