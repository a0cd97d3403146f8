#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds, and runs every test under Wine,
# checks that the release build is reproducible and that Clang builds the program too, then
# runs the benchmarks (which print ratios and never fail the run).
# LINGTU_SERVER_PORT (default 18080, and the next port), NGINX_TEST_PORT (default 18082) and
# LINGTU_XVFB_DISPLAY (default: a free one) let runs of other working copies go on beside this one; LINGTU_SKIP_BENCH=1 leaves the benchmarks out.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build
export LINGTU_SERVER_PORT=${LINGTU_SERVER_PORT:-18080}
"$here/scripts/setup.sh"
UPDATE_SERVER_HOST="127.0.0.1:$LINGTU_SERVER_PORT" "$here/scripts/build.sh" "$build"
# No retries: tests keep out of each other's way through the locks in tests/CMakeLists.txt.
"$here/tests/support/with_wine.sh" "$build/test-env" \
  ctest --test-dir "$build" --output-on-failure --no-tests=error -j2
# The release, built twice in two folders, must come out the same byte for byte.
"$here/scripts/check_release.sh"
# A second compiler: the program builds warning-free with Clang for MinGW-w64 as well.
cmake -S "$here" -B "$here/build-clang" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/clang-mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DLINGTU_BUILD_TESTS=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build "$here/build-clang"
if [ "${LINGTU_SKIP_BENCH:-0}" != 1 ] && [ -x "$here/scripts/bench.sh" ]; then
  "$here/scripts/bench.sh" "$build" || echo "bench: a benchmark did not complete (not a test failure)"
fi
