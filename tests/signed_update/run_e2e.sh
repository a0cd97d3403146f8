#!/usr/bin/env bash
# Publishes the sample plug-in with the test key (and once more with a stranger's key), serves
# the tree with nginx on a loopback port, and runs the Windows test program that drives the
# signed build of the assistant. nginx lives in STATE and is stopped at the end.
# Usage (inside tests/support/with_wine.sh): run_e2e.sh TEST_EXE STATE PORT KEYS
set -euo pipefail
test_exe=$1 state=$2 port=$3 keys=$4
repo=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$state"
mkdir -p "$state"
# Some megabytes, so that the archive is hashed in several blocks.
python3 "$repo/tests/support/make_plugin_archive.py" --folder --size-mb 5 "$state/plugin"
python3 "$repo/scripts/publish.py" publish "$state/plugin" 1.0.9 "$keys/publisher.pem" \
  "$state/tree" >/dev/null
# The same folder gives the same archive, byte for byte, whatever its files' times.
touch -d 2001-02-03 "$state/plugin/Brindo.rb"
python3 "$repo/scripts/publish.py" publish "$state/plugin" 1.0.9 "$keys/publisher.pem" \
  "$state/again" >/dev/null
cmp "$state/tree/update/翎图匠.rbz" "$state/again/update/翎图匠.rbz"
# A stranger's plug-in: a well-formed archive with a good signature, by the wrong key.
cp -r "$state/plugin" "$state/stranger-plugin"
echo 'system("calc")' >"$state/stranger-plugin/Brindo/main.rb"
python3 "$repo/scripts/publish.py" publish "$state/stranger-plugin" 1.0.9 "$keys/stranger.pem" \
  "$state/stranger-tree" >/dev/null

. "$repo/deploy/nginx/local_nginx.sh"
start_local_nginx "$state/tree" "$state/nginx" "$port" || exit 1
GTEST_FILTER='SignedInstallTest.*' "$repo/tests/support/run_windows_test.sh" "$test_exe"
