#!/bin/sh
# Makes a throwaway self-signed certificate for the signing tests, or to try a signed
# release: DIR/signer.p12 with its key, its password in DIR/password, the certificate
# alone in DIR/cert.pem and its key in DIR/key.pem. USAGE is its extended key usage:
# codeSigning, or another that signing refuses; with "expired" its one day of validity
# lies in 2020. With "token" the key is also put on a SoftHSM2 token of its own, in
# DIR/tokens (SOFTHSM2_CONF=DIR/softhsm2.conf), labelled "korvadiag test", the key
# "signer", the PIN the same password. Like a CA's certificate it names a revocation
# list, here at a closed port on the loopback, so a check that fetches it fails.
# Usage: make-test-certificate.sh DIR USAGE [expired | token]
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
    -addext "extendedKeyUsage=$2" -addext crlDistributionPoints=URI:http://127.0.0.1:9/test.crl \
    -keyout "$dir/key.pem" -out "$dir/request.pem" 2>/dev/null &&
  openssl ca -batch -selfsign -config "$dir/ca.cnf" -keyfile "$dir/key.pem" $dates \
    -in "$dir/request.pem" -out "$dir/cert.pem" 2>/dev/null &&
  openssl pkcs12 -export -inkey "$dir/key.pem" -in "$dir/cert.pem" -out "$dir/signer.p12" \
    -passout "file:$dir/password" ||
  { echo "openssl could not make a test certificate in $dir"; exit 1; }
[ "${3:-}" = token ] || exit 0
mkdir -p "$dir/tokens" && printf 'directories.tokendir = %s\n' "$dir/tokens" >"$dir/softhsm2.conf" &&
  SOFTHSM2_CONF=$dir/softhsm2.conf softhsm2-util --init-token --free --label "korvadiag test" \
    --so-pin "throwaway so pin" --pin "throwaway password" >/dev/null &&
  SOFTHSM2_CONF=$dir/softhsm2.conf softhsm2-util --import "$dir/key.pem" --token "korvadiag test" \
    --label signer --id 01 --pin "throwaway password" >/dev/null ||
  { echo "softhsm2-util could not make a test token in $dir/tokens"; exit 1; }
