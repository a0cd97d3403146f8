#!/usr/bin/env bash
# Checks that a release can be trusted to be what the sources say: the source tree is copied
# into two folders of different names, the release is built in each, one after the other,
# and the programs and archives must be byte for byte the same. Also checks that
# scripts/release.sh refuses what would ship a broken program.
# Usage: check_release.sh   (run by scripts/test.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
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
    >/dev/null 2>&1; then
    fail "release.sh accepted $what"
  fi
}
refused "an empty host" --host "" --unsigned
refused "a loopback host" --host 127.0.0.1:18080 --public-key "$key"
refused "localhost" --host localhost --unsigned
refused "a missing key" --host "$host"
refused "a short key" --host "$host" --public-key "${key:1}"
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
  "$tree/scripts/release.sh" --host "$host" --public-key "$key" >/dev/null
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
echo "check_release: two builds in different folders are identical: $(cat "$first/SHA256SUMS")"
