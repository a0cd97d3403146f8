#!/usr/bin/env bash
# The demo inside tests/support/with_wine.sh: registers two SketchUp versions (install folders
# with the stand-in SketchUp.exe), offers the sample plug-in archive on the update server,
# and runs the assistant (see scripts/demo.sh).
# Usage: demo_env.sh <build dir>   (WINEPREFIX, LINGTU_SERVER_CONTROL_PORT come from with_wine.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
app="$build/翎图匠助手.exe"
standin="$build/tests/support/SketchUp.exe"
tool="$build/tests/support/demo_tool.exe"
work="$build/demo-env"
mkdir -p "$work"

# Two SketchUp versions, each with an install folder that exists and holds SketchUp.exe.
wine reg delete 'HKLM\SOFTWARE\SketchUp' /f >/dev/null 2>&1 || true
regfile="$WINEPREFIX/drive_c/demo-sketchup.reg"
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  for version in "SketchUp 2021" "SketchUp 2023"; do
    folder="$WINEPREFIX/drive_c/Program Files/SketchUp/$version"
    mkdir -p "$folder"
    cp "$standin" "$folder/SketchUp.exe"
    printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\SketchUp\\%s\\InstallLocation]\r\n' "$version"
    printf '@="C:\\\\Program Files\\\\SketchUp\\\\%s\\\\"\r\n\r\n' "$version"
  done
} >"$regfile"
wine reg import 'C:\demo-sketchup.reg' >/dev/null 2>&1
rm -f "$regfile"
echo "demo: registered SketchUp 2021 and SketchUp 2023 (C:\\Program Files\\SketchUp\\...)"

# The update server answers the version check with 1.0.9 by itself; give it the archive.
archive="$work/brindo.rbz"
python3 "$here/tests/support/make_plugin_archive.py" "$archive"
python3 - "$archive" "$LINGTU_SERVER_CONTROL_PORT" <<'PY'
import sys, urllib.parse, urllib.request
archive, port = sys.argv[1], sys.argv[2]
target = urllib.parse.quote('/update/%E7%BF%8E%E5%9B%BE%E5%8C%A0.rbz', safe='')
with open(archive, 'rb') as f:
    body = f.read()
request = urllib.request.Request('http://127.0.0.1:%s/route?path=%s' % (port, target),
                                 data=body, method='POST')
with urllib.request.urlopen(request, timeout=10) as reply:
    if reply.status != 200:
        sys.exit('demo: the update server refused the archive')
PY
echo "demo: update server on 127.0.0.1:$LINGTU_SERVER_PORT offers version 1.0.9 and the plug-in"

if [ "${LINGTU_USE_DISPLAY:-0}" = 1 ]; then
  echo "demo: the assistant is open on display $DISPLAY; close its window (or press Ctrl+C)" \
    "to end the demo"
  wine "$app" &
  app_pid=$!
  # Ctrl+C reaches the assistant too, but a Wine program ignores it: end it with the demo.
  trap 'wineserver -k' INT TERM
  wait "$app_pid" || true
  exit
fi

wine "$app" &
app_pid=$!
if ! geometry=$(wine "$tool" wait-main 30000 | tr -d '\r'); then
  kill "$app_pid" 2>/dev/null || true
  echo "demo: the main window did not appear" >&2
  exit 1
fi
read -r window left top width height <<<"$geometry"
shoot() {  # shoot <png>: the main window as it is on the display, small and without dates
  import -display "$DISPLAY" -window root -crop "${width}x${height}+${left}+${top}" +repage \
    -strip -define png:exclude-chunks=date,time +dither -colors 256 "PNG8:$1"
}
if [ -n "${LINGTU_DEMO_SCREENSHOTS:-}" ]; then
  # One screenshot per tab page, named after the page's folder in src/pages.
  mkdir -p "$LINGTU_DEMO_SCREENSHOTS"
  index=0
  for page in plugin utilities windows; do
    wine "$tool" tab "$window" "$index" || { wine "$tool" close "$window" || true; exit 1; }
    shoot "$LINGTU_DEMO_SCREENSHOTS/$page.png"
    echo "demo: screenshot of the $page page: $LINGTU_DEMO_SCREENSHOTS/$page.png"
    index=$((index + 1))
  done
else
  shots=${LINGTU_DEMO_OUT:-$here/out}
  mkdir -p "$shots"
  shoot "$shots/demo-main-window.png"
  echo "demo: screenshot of the main window: $shots/demo-main-window.png"
fi
wine "$tool" close "$window"
code=0
wait "$app_pid" || code=$?
if [ "$code" != 0 ]; then
  echo "demo: the assistant ended with exit code $code" >&2
  exit 1
fi
