#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds, and runs the assistant in a demo environment: a
# Chinese Wine prefix with two SketchUp versions registered and a local update server that
# offers version 1.0.9 and a sample plug-in archive.
# With a display (DISPLAY set and reachable) the window opens there for you to use and the
# demo ends when you close it; without one it runs under a virtual display, saves a
# screenshot of the main window, prints where, and exits.
# LINGTU_DEMO_HEADLESS=1 takes the virtual display even when a display exists.
# --screenshots DIR: headless, saves one screenshot per tab page into DIR (README's docs/).
# The update server listens on 127.0.0.1:18080 and takes commands on 18081; another pair:
# LINGTU_SERVER_PORT=N (N and N+1).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = --screenshots ] && [ -n "${2:-}" ]; then
  mkdir -p "$2"
  export LINGTU_DEMO_SCREENSHOTS LINGTU_DEMO_HEADLESS=1
  LINGTU_DEMO_SCREENSHOTS=$(cd "$2" && pwd)
elif [ $# -gt 0 ]; then
  echo "usage: demo.sh [--screenshots DIR]" >&2
  exit 2
fi
build=${LINGTU_DEMO_BUILD:-$here/build}
export LINGTU_SERVER_PORT=${LINGTU_SERVER_PORT:-18080}

# One demo per build folder at a time (with_wine.sh holds its state folder while it runs).
mkdir -p "$build/demo-env"
if ! flock -n "$build/demo-env/.lock" true; then
  echo "demo: a demo is already running from $build; close its window first" >&2
  exit 3
fi

"$here/scripts/setup.sh"
UPDATE_SERVER_HOST="127.0.0.1:$LINGTU_SERVER_PORT" "$here/scripts/build.sh" "$build"

display_usable() {
  [ -n "${DISPLAY:-}" ] && [ "${LINGTU_DEMO_HEADLESS:-0}" != 1 ] || return 1
  # A DISPLAY left over from a closed session would make Wine fail: ask the X server.
  if command -v xwininfo >/dev/null 2>&1; then
    timeout 5 xwininfo -root >/dev/null 2>&1 || return 1
  fi
}
if display_usable; then
  export LINGTU_USE_DISPLAY=1
else
  export LINGTU_USE_DISPLAY=0
fi

exec "$here/tests/support/with_wine.sh" "$build/demo-env" "$here/scripts/demo_env.sh" "$build"
