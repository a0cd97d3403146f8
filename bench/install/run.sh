#!/usr/bin/env bash
# Installs a 20 MB plug-in archive from the local update server by clicking Command1 in the
# real window, against a minimal WinInet download plus miniunz extraction of the same archive,
# all under the running Wine, and prints median times and ratios. Never fails the caller.
# Usage (inside tests/support/with_wine.sh): bench/install/run.sh <build dir> [runs]
set -uo pipefail
build=$(cd "$1" && pwd)
runs=${2:-5}
exe="$build/bench/install/bench_install.exe"
miniunz="$build/bench/unzip/miniunz.exe"
[ -f "$miniunz" ] || miniunz="$build/bench/install/miniunz.exe"
for file in "$exe" "$miniunz"; do
  [ -f "$file" ] || { echo "bench install: $file is missing; build first"; exit 0; }
done
windows() { local p="Z:$1"; echo "${p//\//\\}"; }
wine "$exe" "$(windows "$miniunz")" "$runs" 2>/dev/null || echo "bench install: did not complete"
exit 0
