#!/usr/bin/env bash
# Runs every benchmark (bench/*/run.sh) inside the Wine test environment. Benchmarks print
# median times and ratios against a reference measured in the same run; they never fail.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
for runner in "$here"/bench/*/run.sh; do
  [ -x "$runner" ] || continue
  echo "== bench: $(basename "$(dirname "$runner")")"
  timeout 600 "$here/tests/support/with_wine.sh" "$build/test-env" "$runner" "$build" ||
    echo "bench: $(basename "$(dirname "$runner")") did not complete"
done
