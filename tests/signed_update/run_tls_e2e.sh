#!/usr/bin/env bash
# Publishes the sample plug-in as 1.0.9 (and 1.0.8, and 1.0.10 and 1.0.11 with the second and a
# third key), serves it with nginx over HTTPS, and runs the trusted-channel tests against the
# HTTPS build: once with the test authority's certificate for localhost, then once for each
# certificate it must refuse.
# Usage (inside tests/support/with_wine.sh): run_tls_e2e.sh TEST_EXE STATE PORT KEYS
set -euo pipefail
test_exe=$1 state=$2 port=$3 keys=$4
repo=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$state"
mkdir -p "$state"
# Certificates, once per build tree (the prefix's Root store gains one authority): the test
# authority (ca.der) and, for nginx, <name>.pem and <name>.key: good (localhost), wrong-name,
# expired (its end before its start), and unknown (localhost, by an authority nobody trusts).
certs=$keys/certs
authority() {  # authority NAME
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout "$certs/$1-ca.key" \
    -out "$certs/$1-ca.pem" -days 3650 -subj "/CN=Lingtu $1 authority" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign
}
server() {  # server NAME HOST AUTHORITY DAYS
  openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout "$certs/$1.key" \
    -subj "/CN=$2" | openssl x509 -req -CA "$certs/$3-ca.pem" -CAkey "$certs/$3-ca.key" \
    -days "$4" -out "$certs/$1.pem" -extfile <(printf 'subjectAltName=DNS:%s\n' "$2")
}
if [ ! -f "$certs/ca.der" ]; then
  mkdir -p "$certs"
  { authority test && authority nobodys && server good localhost test 365 &&
    server wrong-name updates.example.com test 365 && server expired localhost test -1 &&
    server unknown localhost nobodys 365 &&
    openssl x509 -in "$certs/test-ca.pem" -outform DER -out "$certs/ca.der"; } >/dev/null 2>&1 ||
    { echo "making the test certificates failed" >&2; rm -rf "$certs"; exit 1; }
fi
cp -r "$certs" "$state/certs"
python3 "$repo/tests/support/make_plugin_archive.py" --folder "$state/plugin"
publish() {  # publish TREE VERSION KEY: each version other than 1.0.9 a plug-in of its own
  local plugin=$state/plugin
  if [ "$1" != tree ]; then
    plugin=$state/plugin-$2
    cp -r "$state/plugin" "$plugin"
    echo "# $2" >>"$plugin/Brindo.rb"
  fi
  python3 "$repo/scripts/publish.py" publish "$plugin" "$2" "$keys/$3.pem" "$state/$1" >/dev/null
}
publish tree 1.0.9 publisher
publish older 1.0.8 publisher
publish second 1.0.10 second
publish third 1.0.11 third

. "$repo/deploy/nginx/local_nginx.sh"
run() {  # run CERTIFICATE FILTER
  start_local_nginx "$state/tree" "$state/nginx" "$port" "$state/certs/$1.pem" \
    "$state/certs/$1.key" || exit 1
  echo "== certificate: $1"
  GTEST_FILTER=$2 "$repo/tests/support/run_windows_test.sh" "$test_exe" || status=1
  stop_local_nginx
}
status=0
run good 'TrustedChannelTest.*-*Refuses*'
for refused in unknown wrong-name expired; do
  run "$refused" '*RefusesTheServersCertificate'
done
exit $status
