#!/usr/bin/env bash
# The release's signing and package, with throwaway certificates and a SoftHSM2 token
# (make-test-certificate.sh); the only servers named, a time-stamp server and the
# certificates' revocation list, are a closed port on the loopback, and no proxy may
# carry a request anywhere else.
#   signed    both packages hold the built exe, the one signed with a PKCS#12 file and
#             the one signed with a key on a token verifying against the certificate
#             with a SHA-256 digest and the program's name
#   accepted  a password file with CR LF or a second line, and a PKCS#12 file with the
#             older RC2 encryption, sign
#   refused   each bad input fails saying so and leaves nothing, not even an earlier
#             package or signed exe, through script/package and through script/sign
#             alone; a stand-in osslsigncode spoils its signature, signs other bytes or
#             signs with another certificate; IN and OUT the same file keeps it
#   start     the exe signed with the token's key starts under the build's Wine and
#             deletes a file (delete:)
# Usage: check-release.sh signed|accepted|refused|start BUILD_DIR
set -u
case=$1 build=$2
here=$(cd "$(dirname "$0")" && pwd)
built=$build/bin/korvadiag.exe
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
mkdir "$work/tmp"
export no_proxy='*' NO_PROXY='*'
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
for variable in $(compgen -v KORVADIAG_SIGN_); do unset "$variable"; done
failures=0
fail() { echo "$*"; failures=$((failures + 1)); }
certificate() { sh "$here/make-test-certificate.sh" "$work/$1" "$2" ${3:-} || exit 1; }
good=(KORVADIAG_SIGN_PKCS12="$work/good/signer.p12" KORVADIAG_SIGN_PASSWORD_FILE="$work/good/password")
token=(SOFTHSM2_CONF="$work/good/softhsm2.conf" KORVADIAG_SIGN_PKCS11_MODULE=/usr/lib/softhsm/libsofthsm2.so
       KORVADIAG_SIGN_KEY='pkcs11:token=korvadiag%20test;object=signer;type=private'
       KORVADIAG_SIGN_CERTS="$work/good/cert.pem" KORVADIAG_SIGN_PASSWORD_FILE="$work/good/password")
certificate good codeSigning token
# pack DEST [VARIABLE=VALUE...]: script/package into DEST, its output in DEST.log.
pack() {
  local dest=$1; shift
  env TMPDIR="$work/tmp" "$@" "$here/../script/package" "$build" "$dest" >"$dest.log" 2>&1
}
# sign IN OUT [VARIABLE=VALUE...]: script/sign, its output in $work/sign.log.
sign() {
  local in=$1 out=$2; shift 2
  env TMPDIR="$work/tmp" "$@" "$here/../script/sign" "$in" "$out" >"$work/sign.log" 2>&1
}
# unpack DEST: the package's files, in DEST/files.
unpack() { mkdir "$1/files" && (cd "$1/files" && cmake -E tar xf "$1"/*.zip); }

case $case in
start)
  sign "$built" "$work/korvadiag.exe" "${token[@]}" || { cat "$work/sign.log"; exit 1; }
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
  # The revocation list the certificate names is not fetched here either.
  verify=(osslsigncode verify -CAfile "$work/good/cert.pem")
  case "$(osslsigncode verify --help 2>&1)" in *-ignore-crl*) verify+=(-ignore-crl) ;; esac
  for kind in pkcs12 token; do
    if [ $kind = pkcs12 ]; then key=("${good[@]}"); else key=("${token[@]}"); fi
    pack "$work/$kind" "${key[@]}" && unpack "$work/$kind" || { cat "$work/$kind.log"; exit 1; }
    cat "$work/$kind.log"
    files=$(cd "$work/$kind/files" && find . -type f | sort | tr '\n' ' ')
    [ "$files" = "./LICENSE ./korvadiag-reference.txt ./korvadiag.exe " ] ||
      fail "$kind: expected the files LICENSE, korvadiag-reference.txt and korvadiag.exe, got $files"
    exe=$work/$kind/files/korvadiag.exe
    "${verify[@]}" -in "$exe" >"$work/verify" 2>&1 ||
      { cat "$work/verify"; fail "$kind: expected the packaged exe to verify against the test certificate"; }
    digest=$(sed -n 's/^Message digest algorithm *: //p' "$work/verify" | head -n 1)
    [ "$digest" = SHA256 ] || fail "$kind: expected the digest SHA256, got '$digest'"
    name=$(sed -n 's/^[[:space:]]*Text description: //p' "$work/verify" | head -n 1)
    [ "$name" = korvadiag ] || fail "$kind: expected the name korvadiag in the signature, got '$name'"
    osslsigncode remove-signature -in "$exe" -out "$work/stripped.exe" >/dev/null 2>&1
    cmp -s "$work/stripped.exe" "$built" ||
      fail "$kind: expected the packaged exe without its signature to be the built exe, got other bytes"
  done
  ;;
accepted)
  # The password is the first line, whatever its line end and whatever follows it.
  printf 'throwaway password\r\n' >"$work/crlf"
  printf 'throwaway password\nsecond line\n' >"$work/two-lines"
  openssl pkcs12 -export -legacy -inkey "$work/good/key.pem" -in "$work/good/cert.pem" \
    -out "$work/rc2.p12" -passout "file:$work/good/password" || exit 1
  accepted() {
    local what=$1; shift
    rm -f "$work/signed.exe"
    if sign "$built" "$work/signed.exe" "$@" && [ -f "$work/signed.exe" ]; then
      echo "signs: $what"
    else
      fail "$what: expected a signed exe, got:"; cat "$work/sign.log"
    fi
  }
  accepted "a password file with CR LF" "${good[@]}" KORVADIAG_SIGN_PASSWORD_FILE="$work/crlf"
  accepted "a password file with a second line" "${good[@]}" KORVADIAG_SIGN_PASSWORD_FILE="$work/two-lines"
  accepted "a PIN file with CR LF" "${token[@]}" KORVADIAG_SIGN_PASSWORD_FILE="$work/crlf"
  accepted "a PKCS#12 file with RC2 encryption" "${good[@]}" KORVADIAG_SIGN_PKCS12="$work/rc2.p12"
  ;;
refused)
  # The stand-in changes a byte of the DOS stub's text: in the signed file after signing
  # (spoil), or in a copy of the file it is given, which it signs instead (other); or it
  # signs with the key of the PKCS#12 file KD_STRANGER (stranger).
  mkdir "$work/signer"
  cat >"$work/signer/osslsigncode" <<STANDIN
#!/usr/bin/env bash
args=("\$@")
flip() { printf X | dd of="\$1" bs=1 seek=78 conv=notrunc 2>/dev/null; }
for i in "\${!args[@]}"; do
  case \${args[i]} in
    -in) in=\${args[i+1]} n=\$((i + 1)) ;; -out) out=\${args[i+1]} ;; -pkcs12) p=\$((i + 1)) ;;
  esac
done
if [ "\$1" = sign ] && [ "\$KD_SIGNER" = other ]; then
  cp "\$in" "\$out.other" && flip "\$out.other" && args[n]=\$out.other
fi
[ "\$1" != sign ] || [ "\$KD_SIGNER" != stranger ] || args[p]=\$KD_STRANGER
$(command -v osslsigncode) "\${args[@]}" || exit
[ "\$1" != sign ] || [ "\$KD_SIGNER" != spoil ] || flip "\$out"
STANDIN
  chmod +x "$work/signer/osslsigncode"
  mkdir "$work/earlier"
  pack "$work/earlier" || { cat "$work/earlier.log"; exit 1; }
  # refused WHAT MESSAGE [VARIABLE=VALUE...]: script/package, and script/sign alone, each
  # fail saying MESSAGE and leave nothing, though an earlier run's package and signed
  # exe lay where the new ones go.
  refused() {
    local what=$1 message=$2 before=$failures; shift 2
    mkdir "$work/dest" && cp "$work/earlier"/*.zip "$work/dest/"
    echo "an earlier signed exe" >"$work/dest/korvadiag.exe"
    if pack "$work/dest" "$@"; then
      fail "$what: expected script/package to fail, got exit status 0"
    elif ! grep -qF -- "$message" "$work/dest.log"; then
      fail "$what: expected script/package to say '$message', got:"; cat "$work/dest.log"
    fi
    if sign "$built" "$work/dest/korvadiag.exe" "$@"; then
      fail "$what: expected script/sign to fail, got exit status 0"
    elif ! grep -qF -- "$message" "$work/sign.log"; then
      fail "$what: expected script/sign to say '$message', got:"; cat "$work/sign.log"
    fi
    local left; left=$(cd "$work" && find dest tmp -mindepth 1 | tr '\n' ' ')
    [ -z "$left" ] || fail "$what: expected nothing left, got $left"
    rm -rf "$work/dest" "$work/tmp"/*
    [ $failures -ne $before ] || echo "refused, leaving nothing: $what"
  }
  certificate server serverAuth
  certificate expired codeSigning expired
  certificate other codeSigning
  printf 'not the password\n' >"$work/wrong"
  # The good key and certificate, with the other certificate as its chain.
  openssl pkcs12 -export -inkey "$work/good/key.pem" -in "$work/good/cert.pem" \
    -certfile "$work/other/cert.pem" -out "$work/chained.p12" -passout "file:$work/good/password" || exit 1
  refused "a password file without a key" "no key named" \
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
  refused "a signature by another certificate of the chain" "signed by another certificate" \
    "${good[@]}" KORVADIAG_SIGN_PKCS12="$work/chained.p12" PATH="$work/signer:$PATH" \
    KD_SIGNER=stranger KD_STRANGER="$work/other/signer.p12"
  refused "a wrong PIN" "wrong PIN" "${token[@]}" KORVADIAG_SIGN_PASSWORD_FILE="$work/wrong"
  refused "a key the token lacks" "the token holds no key" \
    "${token[@]}" KORVADIAG_SIGN_KEY='pkcs11:token=korvadiag%20test;object=none;type=private'
  refused "a certificate of another key" "is not that of the key" \
    "${token[@]}" KORVADIAG_SIGN_CERTS="$work/other/cert.pem"
  refused "a missing PKCS#11 module" "cannot read the PKCS#11 module" \
    "${token[@]}" KORVADIAG_SIGN_PKCS11_MODULE="$work/none.so"
  refused "a PIN in the key's URI" "holds a PIN" \
    "${token[@]}" KORVADIAG_SIGN_KEY='pkcs11:token=korvadiag%20test;object=signer;type=private?pin-value=x'
  refused "half a token" "a key on a token needs" "${token[@]}" KORVADIAG_SIGN_CERTS=
  refused "both kinds of key" "name one key" "${token[@]}" KORVADIAG_SIGN_PKCS12="$work/good/signer.p12"
  # IN and OUT the same file, or a link to it: refused, and the file kept.
  cp "$built" "$work/same.exe" && ln -s same.exe "$work/link.exe"
  for out in same.exe link.exe; do
    if sign "$work/same.exe" "$work/$out" "${good[@]}"; then
      fail "IN and OUT $out: expected a failure, got exit status 0"
    elif ! grep -qF "the same file" "$work/sign.log"; then
      fail "IN and OUT $out: expected 'the same file', got:"; cat "$work/sign.log"
    fi
    cmp -s "$work/same.exe" "$built" || fail "IN and OUT $out: expected the exe kept, got it changed or gone"
  done
  ;;
*) echo "usage: check-release.sh signed|accepted|refused|start BUILD_DIR"; exit 2 ;;
esac
exit $((failures > 0))
