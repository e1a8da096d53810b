#!/bin/sh
# The package for the calling application's installer holds the shipped exe, the
# reference for the calling application with CR LF line ends, and the licence: nothing
# else, and no line of the reference ends in a bare LF.
# Usage: check-package.sh BUILD_DIR
build=$1
staging=$(mktemp -d) || exit 1
trap 'rm -rf "$staging"' EXIT
cmake --install "$build" --prefix "$staging" >/dev/null || { echo "cannot install from $build"; exit 1; }
files=$(cd "$staging" && find . -type f | sort | tr '\n' ' ')
expected="./LICENSE ./korvadiag-reference.txt ./korvadiag.exe "
[ "$files" = "$expected" ] || { echo "expected the files $expected, got $files"; exit 1; }
reference=$staging/korvadiag-reference.txt
lines=$(wc -l <"$reference")
crlf=$(grep -c "$(printf '\r')\$" "$reference")
if [ "$lines" -eq 0 ] || [ "$crlf" -ne "$lines" ] || [ -n "$(tail -c 1 "$reference" | tr -d '\n')" ]; then
  echo "expected every one of the reference's $lines lines to end in CR LF, got $crlf"
  exit 1
fi
echo "package: $files($lines CR LF lines of reference)"
