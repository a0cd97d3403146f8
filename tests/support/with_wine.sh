#!/usr/bin/env bash
# Runs a command inside a prepared Windows environment and tears it down afterwards:
# a virtual display (unless DISPLAY is set and LINGTU_USE_DISPLAY=1), a Chinese Wine prefix,
# a persistent wineserver and the local update server.
# Usage: with_wine.sh <state dir> <command...>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=$(mkdir -p "$1" && cd "$1" && pwd)
shift

export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LINGTU_SERVER_PORT=${LINGTU_SERVER_PORT:-18080}
export LINGTU_SERVER_CONTROL_PORT=$((LINGTU_SERVER_PORT + 1))

pids=()
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  for pid in "${pids[@]}"; do kill "$pid" >/dev/null 2>&1 || true; done
  wait >/dev/null 2>&1 || true
}
trap cleanup EXIT

managed=1
if [ "${LINGTU_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
  managed=0
  display=${LINGTU_XVFB_DISPLAY:-}
  if [ -z "$display" ]; then
    for n in $(seq 90 140); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=$n; break; }
    done
  fi
  Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=":$display"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "with_wine: building the Wine prefix in $WINEPREFIX"
  "$here/make_prefix.sh" "$WINEPREFIX"
fi
wineserver -p
# Without a window manager (the virtual display), Wine waits two seconds for one whenever a
# framed window is hidden or destroyed; unmanaged windows close at once. On a real display
# the window manager frames the windows as usual. This first Wine command also starts
# Wine's background services, detached from our output: a test whose pipes they inherited
# would look unfinished to the test runner.
x11key='HKCU\Software\Wine\X11 Driver'
if [ "$managed" = 1 ]; then
  wine reg delete "$x11key" /v Managed /f >/dev/null 2>&1 </dev/null || true
else
  wine reg add "$x11key" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null || true
fi

python3 "$here/update_server.py" --port "$LINGTU_SERVER_PORT" \
  --control-port "$LINGTU_SERVER_CONTROL_PORT" --root "$state/server" &
pids+=($!)
for _ in $(seq 50); do
  (exec 3<>"/dev/tcp/127.0.0.1/$LINGTU_SERVER_CONTROL_PORT") 2>/dev/null && break
  sleep 0.1
done

"$@"
