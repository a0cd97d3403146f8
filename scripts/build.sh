#!/usr/bin/env bash
# Configures and builds the program, its tests and benchmarks with MinGW-w64.
# Usage: build.sh [build dir]   (UPDATE_SERVER_HOST overrides the update server address,
# NGINX_TEST_PORT the loopback port of the nginx that tests and benchmarks start)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake -S "$here" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-posix.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DUPDATE_SERVER_HOST="${UPDATE_SERVER_HOST:-127.0.0.1:18080}" \
  -DNGINX_TEST_PORT="${NGINX_TEST_PORT:-18082}" >/dev/null
cmake --build "$build"
