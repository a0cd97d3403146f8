#!/usr/bin/env bash
# Checks that a release can be trusted to be what the sources say: the source tree is copied
# into two folders of different names, the release is built and signed in each, one after the
# other, and the programs and archives must be byte for byte the same. The signature must
# verify against its (throw-away) certificate authority and fail after a flipped byte, and
# removing it, with or without a time stamp, must give back the unsigned program. Also checks
# that scripts/release.sh refuses what would ship a broken program or expose a signing key, and
# that other kinds of keys (PKCS#12 with AES or RC2, ECDSA) sign the program built here.
# Usage: check_release.sh   (run by scripts/test.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
tsa=""
trap 'if [ -n "$tsa" ]; then kill "$tsa" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
key=$(printf '%064x' 1 2 | head -c 128)  # any 128 hex digits: nothing is signed here
host=updates.example.com:8080

fail() {
  echo "check_release: $*" >&2
  exit 1
}
refused() {  # refused <what> <release.sh arguments...>
  local what=$1
  shift
  if "$here/scripts/release.sh" --dist "$work/refused" --build "$work/refused-build" "$@" \
    >/dev/null 2>"$work/refusal"; then
    fail "release.sh accepted $what"
  fi
}
flip() {  # flip <file>: one bit of the byte at 4096
  python3 -c 'import sys; f = open(sys.argv[1], "r+b"); f.seek(4096); b = f.read(1)[0]
f.seek(4096); f.write(bytes([b ^ 1]))' "$1"
}
refused "an empty host" --host "" --unsigned
refused "a loopback host" --host 127.0.0.1:18080 --public-key "$key"
refused "localhost" --host localhost --unsigned
refused "localhost over HTTPS" --host https://localhost:8443 --unsigned
refused "a scheme other than https" --host "ftp://$host" --unsigned
refused "an empty key between two" --host "$host" --public-key "$key;;$key"
refused "a missing key" --host "$host"
refused "a short key" --host "$host" --public-key "${key:1}"

# A throw-away certificate authority with a code-signing and a time-stamping certificate.
keys=$work/keys
mkdir -p "$keys"
(
  cd "$keys"
  openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt -days 2 \
    -subj "/CN=Throw-away CA" -addext basicConstraints=critical,CA:TRUE \
    -addext keyUsage=critical,keyCertSign
  for use in codeSigning critical,timeStamping; do
    openssl req -newkey rsa:2048 -nodes -keyout "${use#*,}.key" -subj "/CN=Throw-away ${use#*,}" |
      openssl x509 -req -CA ca.crt -CAkey ca.key -days 2 -out "${use#*,}.crt" -extfile <(
        printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n' "$use")
  done
  openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout ecdsa.key \
    -subj "/CN=Throw-away ECDSA" | openssl x509 -req -CA ca.crt -CAkey ca.key -days 2 -extfile <(
      printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n') |
    cat - ca.crt >ecdsa-chain.pem
  echo throw-away >password
  if openssl list -providers -provider legacy >/dev/null; then  # RC2, as older files have
    openssl pkcs12 -export -legacy -in codeSigning.crt -inkey codeSigning.key -certfile ca.crt \
      -out legacy.p12 -passout file:password
  fi
  # With its certificate authority, as Windows exports it; AES, OpenSSL 3's default.
  openssl pkcs12 -export -in codeSigning.crt -inkey codeSigning.key -certfile ca.crt \
    -out modern.p12 -passout file:password
  openssl pkcs12 -export -in codeSigning.crt -inkey codeSigning.key -out publisher.p12 \
    -passout file:password
) >/dev/null 2>&1 || fail "making the throw-away certificates failed"
url=https://example.com/lingtu
ln -s "$here/README.md" "$keys/in-tree.p12"
refused "a key file inside the work tree (through a link)" --host "$host" --unsigned \
  --sign-pkcs12 "$keys/in-tree.p12" --sign-password-file "$keys/password" --publisher-url "$url"
refused "signing without the publisher's URL" --host "$host" --unsigned \
  --sign-pkcs12 "$keys/publisher.p12" --sign-password-file "$keys/password"
refused "an ECDSA key without --not-reproducible" --host "$host" --unsigned --publisher-url "$url" \
  --sign-cert "$keys/ecdsa-chain.pem" --sign-key "$keys/ecdsa.key"
grep -q -e --not-reproducible "$work/refusal" || fail "the ECDSA key was refused for another reason"
[ ! -e "$work/refused" ] || fail "a refused release left files behind"

# The same commit time for both builds, as two builds of one commit would have.
SOURCE_DATE_EPOCH=$(git -C "$here" log -1 --format=%ct)
export SOURCE_DATE_EPOCH
for tree in "$work/first" "$work/second-copy/of/the/tree"; do
  mkdir -p "$tree"
  (cd "$here" && git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    xargs -0 cp --parents -t "$tree")
  mkdir -p "$tree/.deps" && cp -r "$here/.deps/minizip" "$tree/.deps/"
  # The same key as PKCS#12 in one tree, as certificate and key files in the other.
  if [ "$tree" = "$work/first" ]; then
    sign=(--sign-pkcs12 "$keys/publisher.p12" --sign-password-file "$keys/password")
  else
    sign=(--sign-cert "$keys/codeSigning.crt" --sign-key "$keys/codeSigning.key")
  fi
  "$tree/scripts/release.sh" --host "$host" --public-key "$key" "${sign[@]}" \
    --publisher-url "$url" --sign-ca "$keys/ca.crt" >/dev/null
done

first=$work/first/dist second=$work/second-copy/of/the/tree/dist
archive=$(cd "$first" && ls ./*.zip)
cmp "$first/$archive" "$second/$archive" || fail "the two release archives differ"
cmp "$first/SHA256SUMS" "$second/SHA256SUMS" || fail "the two SHA256SUMS differ"
exe="翎图匠助手.exe"
cmp "$work/first/build-release/$exe" "$work/second-copy/of/the/tree/build-release/$exe" ||
  fail "the two programs differ"
if strings -a "$work/first/build-release/$exe" | grep -F -e "$work" -e "$here"; then
  fail "the program contains a build folder's name"
fi
(cd "$first" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match"
unsigned=$work/first/build-release/$exe signed=$work/first/build-release/signed/$exe
cmp "$signed" "$work/second-copy/of/the/tree/build-release/signed/$exe" ||
  fail "the two signed programs differ"
python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]))' \
  "$first/$archive" "$exe" | cmp - "$signed" || fail "the archive does not hold the signed program"

# The signature: it verifies, names the program, breaks with one byte, and comes off cleanly.
verify() { osslsigncode verify -CAfile "$keys/ca.crt" -TSA-CAfile "$keys/ca.crt" -in "$1"; }
verify "$signed" >"$work/verified" 2>&1 || fail "the signature does not verify: $(cat "$work/verified")"
grep -q "Text description: 翎图匠助手$" "$work/verified" && python3 -c 'import sys
sys.exit("翎图匠助手".encode("utf-16-be") not in open(sys.argv[1], "rb").read())' "$signed" ||
  fail "the signature does not name the program (as a Unicode string Windows can show)"
cp "$signed" "$work/flipped.exe"
flip "$work/flipped.exe"
if verify "$work/flipped.exe" >/dev/null 2>&1; then fail "a flipped byte still verifies"; fi
# release.sh's own check of what it signed: a flipped byte, or another program under the
# signature than the one built, is refused.
signed_check() { python3 "$here/scripts/signing_key.py" verify "$@"; }
publisher=(--pkcs12 "$keys/publisher.p12" --password-file "$keys/password" --ca "$keys/ca.crt")
signed_check "$signed" "$unsigned" "${publisher[@]}" || fail "release.sh's check refuses a good program"
if signed_check "$work/flipped.exe" "$unsigned" "${publisher[@]}" 2>/dev/null; then
  fail "release.sh's check passes a flipped byte"
fi
cp "$unsigned" "$work/changed.exe" && flip "$work/changed.exe"
if signed_check "$signed" "$work/changed.exe" "${publisher[@]}" 2>/dev/null; then
  fail "release.sh's check passes a signed program that is not the build's"
fi
unsigned_again() {  # unsigned_again <signed program> <what>
  osslsigncode remove-signature -in "$1" -out "$work/stripped.exe" >/dev/null &&
    cmp "$work/stripped.exe" "$unsigned" || fail "$2 without its signature is not the unsigned program"
  rm -f "$work/stripped.exe"
}
unsigned_again "$signed" "the signed program"

# A time stamp from a time-stamp authority on the loopback interface.
python3 "$here/tests/support/time_stamp_authority.py" "$work/tsa-port" \
  "$keys/timeStamping.crt" "$keys/timeStamping.key" "$keys/ca.crt" &
tsa=$!
for _ in $(seq 50); do [ -s "$work/tsa-port" ] && break; sleep 0.1; done
[ -s "$work/tsa-port" ] || fail "the time-stamp authority did not listen within 5 s"
python3 "$here/scripts/sign_program.py" "$unsigned" "$work/stamped.exe" --name 翎图匠助手 \
  --url "$url" --time "$SOURCE_DATE_EPOCH" --pkcs12 "$keys/publisher.p12" \
  --password-file "$keys/password" --timestamp-url "http://127.0.0.1:$(cat "$work/tsa-port")/"
verify "$work/stamped.exe" >"$work/verified" 2>&1 ||
  fail "the time-stamped signature does not verify: $(cat "$work/verified")"
grep -qi "timestamp verified" "$work/verified" || fail "no time stamp was verified"
signed_check "$work/stamped.exe" "$unsigned" "${publisher[@]}" ||
  fail "release.sh's check refuses the time-stamped program"
unsigned_again "$work/stamped.exe" "the time-stamped program"

# Other keys, on the program built above: each opens, signs, and the result passes the check
# against the certificates that came with the key. An empty OPENSSL_MODULES folder is an
# OpenSSL without the legacy provider.
signs() {  # signs <what> <key options...>
  local what=$1
  shift
  python3 "$here/scripts/signing_key.py" check --not-reproducible "$@" &&
    python3 "$here/scripts/sign_program.py" "$unsigned" "$work/other.exe" --name 翎图匠助手 \
      --url "$url" --time "$SOURCE_DATE_EPOCH" "$@" &&
    signed_check "$work/other.exe" "$unsigned" "$@" || fail "$what does not sign"
}
mkdir "$work/no-providers"
signs "an ECDSA key (--not-reproducible)" --cert "$keys/ecdsa-chain.pem" --key "$keys/ecdsa.key"
OPENSSL_MODULES=$work/no-providers signs "a PKCS#12 file with AES, without the legacy provider" \
  --pkcs12 "$keys/modern.p12" --password-file "$keys/password"
if [ -e "$keys/legacy.p12" ]; then
  signs "a PKCS#12 file with RC2" --pkcs12 "$keys/legacy.p12" --password-file "$keys/password"
  if OPENSSL_MODULES=$work/no-providers python3 "$here/scripts/signing_key.py" check \
    --pkcs12 "$keys/legacy.p12" --password-file "$keys/password" 2>"$work/refusal" ||
    ! grep -q "legacy provider" "$work/refusal"; then
    fail "an RC2 PKCS#12 file without the legacy provider is not reported as such"
  fi
fi
echo "check_release: two signed builds in different folders are identical: $(cat "$first/SHA256SUMS")"
echo "check_release: the signature verifies, also time-stamped, and comes off as the unsigned program"
