#!/bin/sh
# Runs a Windows program with Wine's heap checking on (the heap debug channel), passes
# its output through, and fails when Wine reports heap corruption in any process of
# the run, or when the program itself fails. Usage: heap-checked.sh WINE-EXEC EXE ARGS...
wine_exec=$1; shift
log=$(mktemp)
trap 'rm -f "$log"' EXIT
WINEDEBUG=warn+heap "$wine_exec" "$@" 2>"$log"
status=$?
corrupt=$(grep -E '(err|warn):heap' "$log" | head -n 20)
if [ -n "$corrupt" ]; then
  echo "Wine's heap checking reported:"
  echo "$corrupt"
  exit 1
fi
echo "heap checking: no corruption reported"
exit $status
