#!/usr/bin/env bash
# Runs a command inside a prepared Windows environment and tears it down afterwards:
# a virtual display (unless DISPLAY is set and LINGTU_USE_DISPLAY=1), a Chinese Wine prefix,
# a persistent wineserver and the local update server.
# Usage: with_wine.sh <state dir> <command...>
# LINGTU_SERVER_PORT (default 18080; the control port is the next one) and
# LINGTU_XVFB_DISPLAY (default: a free display the X server picks itself) may be set.
# One run per state dir at a time: a second run on a state dir in use says so and exits with
# status 3, leaving the first alone. A port or display that another program holds ends the run
# with a message, before the command starts.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$(mkdir -p "$1" && cd "$1" && pwd)
shift

# The lock is held on descriptor 9 until this script ends; nothing started here inherits it,
# so a Wine process that lingers after the end does not keep the next run out.
exec 9>"$state/.lock"
if ! flock -n 9; then
  echo "with_wine: $state is in use by another run (already running); not starting" >&2
  exit 3
fi

# Debian's Wine without its preloader loses a process at birth now and then (see setup.sh):
# a run on such a Wine would pass or fail by luck.
if [ -x /usr/lib/wine/wine64 ] && [ ! -e /usr/lib/wine/wine64-preloader ]; then
  echo "with_wine: /usr/lib/wine/wine64-preloader is missing; run scripts/setup.sh" >&2
  exit 1
fi

export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LINGTU_SERVER_PORT=${LINGTU_SERVER_PORT:-18080}
export LINGTU_SERVER_CONTROL_PORT=$((LINGTU_SERVER_PORT + 1))

pids=()
cleanup() {
  wineserver -k >/dev/null 2>&1 9>&- || true
  for pid in "${pids[@]}"; do kill "$pid" >/dev/null 2>&1 || true; done
  wait >/dev/null 2>&1 || true
}
trap cleanup EXIT

# Waits up to 60 s for a file to have content while process $2 runs; fails otherwise.
wait_for_file() {
  for _ in $(seq 600); do
    [ -s "$1" ] && return 0
    kill -0 "$2" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

managed=1
if [ "${LINGTU_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
  managed=0
  # Xvfb writes the display's number once it accepts clients; without a number asked for it
  # takes a free one itself, so runs side by side never pick the same.
  display_file="$state/display"
  rm -f "$display_file"
  Xvfb ${LINGTU_XVFB_DISPLAY:+":$LINGTU_XVFB_DISPLAY"} -displayfd 8 -screen 0 1280x800x24 \
    -nolisten tcp 8>"$display_file" 9>&- >/dev/null 2>&1 &
  pids+=($!)
  if ! wait_for_file "$display_file" "$!"; then
    echo "with_wine: the virtual display ${LINGTU_XVFB_DISPLAY:+:$LINGTU_XVFB_DISPLAY }did not start" \
      "(in use by another program?)" >&2
    exit 1
  fi
  export DISPLAY=":$(head -n 1 "$display_file")"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "with_wine: building the Wine prefix in $WINEPREFIX"
  "$here/make_prefix.sh" "$WINEPREFIX" 9>&-
fi
wineserver -p 9>&-
# Without a window manager (the virtual display), Wine waits two seconds for one whenever a
# framed window is hidden or destroyed; unmanaged windows close at once. On a real display
# the window manager frames the windows as usual. This first Wine command also starts
# Wine's background services, detached from our output: a test whose pipes they inherited
# would look unfinished to the test runner.
x11key='HKCU\Software\Wine\X11 Driver'
if [ "$managed" = 1 ]; then
  wine reg delete "$x11key" /v Managed /f >/dev/null 2>&1 </dev/null 9>&- || true
else
  wine reg add "$x11key" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null 9>&- || true
fi

ready_file="$state/server.ready"
rm -f "$ready_file"
python3 "$here/update_server.py" --port "$LINGTU_SERVER_PORT" \
  --control-port "$LINGTU_SERVER_CONTROL_PORT" --root "$state/server" \
  --ready-file "$ready_file" 9>&- &
pids+=($!)
if ! wait_for_file "$ready_file" "$!"; then
  echo "with_wine: the update server could not listen on 127.0.0.1:$LINGTU_SERVER_PORT and" \
    "$LINGTU_SERVER_CONTROL_PORT (in use by another run? set LINGTU_SERVER_PORT)" >&2
  exit 1
fi

"$@" 9>&-
