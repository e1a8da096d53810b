#!/bin/sh
# Makes a throwaway self-signed certificate for the signing tests, or to try a signed
# release: DIR/signer.p12 with its key, its password in DIR/password and the
# certificate alone in DIR/cert.pem. USAGE is its extended key usage: codeSigning, or
# another that signing refuses; with "expired" its one day of validity lies in 2020.
# Usage: make-test-certificate.sh DIR USAGE [expired]
dir=$1
mkdir -p "$dir" && : >"$dir/index.txt" || exit 1
printf '%s\n' '[ca]' 'default_ca=self' '[self]' "database=$dir/index.txt" "new_certs_dir=$dir" \
  'default_md=sha256' 'policy=any' 'rand_serial=yes' 'copy_extensions=copy' \
  '[any]' 'commonName=supplied' >"$dir/ca.cnf"
printf 'throwaway password\n' >"$dir/password"
dates="-days 2"
[ "${3:-}" != expired ] || dates="-startdate 20200101000000Z -enddate 20200102000000Z"
openssl req -new -newkey rsa:2048 -nodes -subj "/CN=korvadiag test signer" \
    -addext basicConstraints=critical,CA:FALSE -addext keyUsage=critical,digitalSignature \
    -addext "extendedKeyUsage=$2" -keyout "$dir/key.pem" -out "$dir/request.pem" 2>/dev/null &&
  openssl ca -batch -selfsign -config "$dir/ca.cnf" -keyfile "$dir/key.pem" $dates \
    -in "$dir/request.pem" -out "$dir/cert.pem" 2>/dev/null &&
  openssl pkcs12 -export -inkey "$dir/key.pem" -in "$dir/cert.pem" -out "$dir/signer.p12" \
    -passout "file:$dir/password" ||
  { echo "openssl could not make a test certificate in $dir"; exit 1; }
