#!/bin/sh
# The exe must import from system DLLs only: static linking leaves no runtime DLL
# (libstdc++, libgcc, libwinpthread) behind. Entry points that older systems lack are
# looked up at run time and must not be imported either. Usage: check-imports.sh OBJDUMP EXE
objdump=$1 exe=$2
imports=$("$objdump" -p "$exe")
dlls=$(echo "$imports" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
[ -n "$dlls" ] || { echo "no import table read from $exe"; exit 1; }
echo "imports of $exe:"; echo "$dlls" | sed 's/^/  /'
bad=$(echo "$dlls" | grep -vE '^(KERNEL32|USER32|ADVAPI32|MSVCRT|WSOCK32|WS2_32|GDI32|SHELL32)\.DLL$')
if [ -n "$bad" ]; then
  echo "expected system DLLs only, got also: $bad"
  exit 1
fi
late=$(echo "$imports" | grep -wE 'GetDiskFreeSpaceExA')
if [ -n "$late" ]; then
  echo "imported although looked up at run time: $late"
  exit 1
fi
