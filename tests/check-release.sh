#!/usr/bin/env bash
# The release's signing and package, with throwaway certificates
# (make-test-certificate.sh); the only time-stamp server named is a closed port on the
# loopback, and no proxy may carry a request anywhere else.
#   signed   both packages hold the built exe, the signed one verifying against the
#            certificate with a SHA-256 digest and the program's name
#   refused  each bad input fails saying so and leaves nothing, not even an earlier
#            package; a stand-in osslsigncode spoils its signature or signs other bytes
#   start    the signed exe starts under the build's Wine and deletes a file (delete:)
# Usage: check-release.sh signed|refused|start BUILD_DIR
set -u
case=$1 build=$2
here=$(cd "$(dirname "$0")" && pwd)
built=$build/bin/korvadiag.exe
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
mkdir "$work/tmp"
export no_proxy='*' NO_PROXY='*'
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY \
  KORVADIAG_SIGN_PKCS12 KORVADIAG_SIGN_PASSWORD_FILE KORVADIAG_SIGN_TIMESTAMP_URL
failures=0
fail() { echo "$*"; failures=$((failures + 1)); }
certificate() { sh "$here/make-test-certificate.sh" "$work/$1" "$2" ${3:-} || exit 1; }
good=(KORVADIAG_SIGN_PKCS12="$work/good/signer.p12" KORVADIAG_SIGN_PASSWORD_FILE="$work/good/password")
certificate good codeSigning
# pack DEST [VARIABLE=VALUE...]: script/package into DEST, its output in DEST.log.
pack() {
  local dest=$1; shift
  env TMPDIR="$work/tmp" "$@" "$here/../script/package" "$build" "$dest" >"$dest.log" 2>&1
}
# unpack DEST: the package's files, in DEST/files.
unpack() { mkdir "$1/files" && (cd "$1/files" && cmake -E tar xf "$1"/*.zip); }

case $case in
start)
  env "${good[@]}" "$here/../script/sign" "$built" "$work/korvadiag.exe" || exit 1
  # A batch file names the work folder as the temporary directory and starts the exe.
  windows() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
  echo "an old answer" >"$work/old.txt"
  printf '@set TMP=%s\\\r\n@set TEMP=%s\\\r\n@"%s" delete:old.txt\r\n' "$(windows "$work")" \
    "$(windows "$work")" "$(windows "$work/korvadiag.exe")" >"$work/start.bat"
  "$build/wine-exec" cmd /c "$(windows "$work/start.bat")" </dev/null ||
    fail "expected exit code 0, got $?"
  [ ! -e "$work/old.txt" ] || fail "expected delete:old.txt to delete old.txt, got it still there"
  ;;
signed)
  pack "$work/unsigned" && unpack "$work/unsigned" || { cat "$work/unsigned.log"; exit 1; }
  cmp -s "$work/unsigned/files/korvadiag.exe" "$built" ||
    fail "expected the unsigned package to hold the built exe, got other bytes"
  pack "$work/signed" "${good[@]}" && unpack "$work/signed" || { cat "$work/signed.log"; exit 1; }
  cat "$work/signed.log"
  files=$(cd "$work/signed/files" && find . -type f | sort | tr '\n' ' ')
  [ "$files" = "./LICENSE ./korvadiag-reference.txt ./korvadiag.exe " ] ||
    fail "expected the files LICENSE, korvadiag-reference.txt and korvadiag.exe, got $files"
  exe=$work/signed/files/korvadiag.exe
  osslsigncode verify -CAfile "$work/good/cert.pem" -in "$exe" >"$work/verify" 2>&1 ||
    { cat "$work/verify"; fail "expected the packaged exe to verify against the test certificate"; }
  digest=$(sed -n 's/^Message digest algorithm *: //p' "$work/verify" | head -n 1)
  [ "$digest" = SHA256 ] || fail "expected the digest SHA256, got '$digest'"
  name=$(sed -n 's/^[[:space:]]*Text description: //p' "$work/verify" | head -n 1)
  [ "$name" = korvadiag ] || fail "expected the name korvadiag in the signature, got '$name'"
  osslsigncode remove-signature -in "$exe" -out "$work/stripped.exe" >/dev/null 2>&1
  cmp -s "$work/stripped.exe" "$built" ||
    fail "expected the packaged exe without its signature to be the built exe, got other bytes"
  ;;
refused)
  # The stand-in changes a byte of the DOS stub's text: in the signed file after signing
  # (spoil), or in a copy of the file it is given, which it signs instead (other).
  mkdir "$work/signer"
  cat >"$work/signer/osslsigncode" <<EOF
#!/usr/bin/env bash
args=("\$@")
flip() { printf X | dd of="\$1" bs=1 seek=78 conv=notrunc 2>/dev/null; }
for i in "\${!args[@]}"; do
  case \${args[i]} in -in) in=\${args[i+1]} n=\$((i + 1)) ;; -out) out=\${args[i+1]} ;; esac
done
if [ "\$1" = sign ] && [ "\$KD_SIGNER" = other ]; then
  cp "\$in" "\$out.other" && flip "\$out.other" && args[n]=\$out.other
fi
$(command -v osslsigncode) "\${args[@]}" || exit
[ "\$1" != sign ] || [ "\$KD_SIGNER" != spoil ] || flip "\$out"
EOF
  chmod +x "$work/signer/osslsigncode"
  mkdir "$work/earlier"
  pack "$work/earlier" || { cat "$work/earlier.log"; exit 1; }
  # refused WHAT MESSAGE [VARIABLE=VALUE...]: script/package fails saying MESSAGE and
  # leaves nothing, though an earlier run's package lay where the new one goes.
  refused() {
    local what=$1 message=$2 before=$failures; shift 2
    mkdir "$work/dest" && cp "$work/earlier"/*.zip "$work/dest/"
    if pack "$work/dest" "$@"; then
      fail "$what: expected a failure, got exit status 0"
    elif ! grep -qF -- "$message" "$work/dest.log"; then
      fail "$what: expected the message '$message', got:"; cat "$work/dest.log"
    fi
    local left; left=$(cd "$work" && find dest tmp -mindepth 1 | tr '\n' ' ')
    [ -z "$left" ] || fail "$what: expected nothing left, got $left"
    rm -rf "$work/dest" "$work/tmp"/*
    [ $failures -ne $before ] || echo "refused, leaving nothing: $what"
  }
  certificate server serverAuth
  certificate expired codeSigning expired
  printf 'not the password\n' >"$work/wrong"
  refused "a password file without a certificate" "KORVADIAG_SIGN_PKCS12 names no certificate" \
    KORVADIAG_SIGN_PASSWORD_FILE="$work/good/password"
  refused "a missing PKCS#12 file" "cannot read the PKCS#12 file" \
    KORVADIAG_SIGN_PKCS12="$work/none.p12" KORVADIAG_SIGN_PASSWORD_FILE="$work/good/password"
  refused "a wrong password" "wrong password" \
    KORVADIAG_SIGN_PKCS12="$work/good/signer.p12" KORVADIAG_SIGN_PASSWORD_FILE="$work/wrong"
  refused "a certificate for servers" "not meant for code signing" \
    KORVADIAG_SIGN_PKCS12="$work/server/signer.p12" KORVADIAG_SIGN_PASSWORD_FILE="$work/server/password"
  refused "an expired certificate" "expired: Jan  2 00:00:00 2020 GMT" \
    KORVADIAG_SIGN_PKCS12="$work/expired/signer.p12" KORVADIAG_SIGN_PASSWORD_FILE="$work/expired/password"
  refused "an unreachable time-stamp server" "the time-stamp server http://127.0.0.1:9/ gave no time stamp" \
    "${good[@]}" KORVADIAG_SIGN_TIMESTAMP_URL=http://127.0.0.1:9/
  refused "a signature that does not verify" "does not verify" \
    "${good[@]}" PATH="$work/signer:$PATH" KD_SIGNER=spoil
  refused "a signature of other bytes" "without its signature is not" \
    "${good[@]}" PATH="$work/signer:$PATH" KD_SIGNER=other
  ;;
*) echo "usage: check-release.sh signed|refused|start BUILD_DIR"; exit 2 ;;
esac
exit $((failures > 0))
