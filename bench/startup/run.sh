#!/usr/bin/env bash
# Runs the start-up benchmark; call inside tests/support/with_wine.sh with the build dir.
set -euo pipefail
build=${1:?build dir}
wine "$build/bench/startup/bench_startup.exe" "${LINGTU_BENCH_RUNS:-9}" 2>/dev/null | grep -a '^startup:'
