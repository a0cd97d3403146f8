#!/usr/bin/env bash
# Publishes a plug-in of about 20 MB (archive) signed with the test key, serves it with nginx on
# loopback and times installations through the window with the signature check and without.
# Never fails its caller.
# Usage (inside tests/support/with_wine.sh): bench/signed_install/run.sh <build dir> [runs]
set -uo pipefail
build=$(cd "$1" && pwd)
runs=${2:-5}
repo=$(cd "$(dirname "$0")/../.." && pwd)
state=$build/bench/signed_install/state
port=$(sed -n 's/^NGINX_TEST_PORT:[A-Z]*=//p' "$build/CMakeCache.txt")
exe=$build/bench/signed_install/bench_signed_install.exe
signed=$build/tests/signed_update/signed/翎图匠助手.exe
unsigned=$build/bench/signed_install/unsigned/翎图匠助手.exe
for file in "$exe" "$signed" "$unsigned"; do
  [ -f "$file" ] || { echo "bench signed_install: $file is missing; build first"; exit 0; }
done

rm -rf "$state"
mkdir -p "$state"
# Half incompressible data: 38 MiB of files make an archive of about 20 MB.
python3 "$repo/tests/support/make_plugin_archive.py" --folder --size-mb 38 "$state/plugin" &&
  python3 "$repo/scripts/publish.py" publish "$state/plugin" 1.0.9 \
    "$build/tests/signed_update/keys/publisher.pem" "$state/tree" ||
  { echo "bench signed_install: publishing failed"; exit 0; }
. "$repo/deploy/nginx/local_nginx.sh"
start_local_nginx "$state/tree" "$state/nginx" "$port" || { echo "bench signed_install: nginx did not start"; exit 0; }
windows() { local p="Z:$1"; echo "${p//\//\\}"; }
wine "$exe" "$(windows "$signed")" "$(windows "$unsigned")" "$runs" 2>/dev/null ||
  echo "bench signed_install: did not complete"
exit 0
