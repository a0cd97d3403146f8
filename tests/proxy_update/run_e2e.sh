#!/usr/bin/env bash
# Starts nginx on a loopback port as a forward proxy to the local update server (WinInet sends
# the absolute URL; nginx passes its path on), runs the Windows test program, then stops nginx
# and puts back the prefix's proxy settings that the test changes.
# Usage (inside tests/support/with_wine.sh): run_e2e.sh TEST_EXE STATE PORT
set -euo pipefail
test_exe=$1 state=$2 port=$3
repo=$(cd "$(dirname "$0")/../.." && pwd)
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
rm -rf "$state" && mkdir -p "$state/logs" "$state/temp"
wine reg export "$key" "$(winepath -w "$state/settings.reg")" /y >/dev/null 2>&1 </dev/null
cat >"$state/nginx.conf" <<CONF
$([ "$(id -u)" = 0 ] && echo "user root;")
pid $state/nginx.pid;
error_log $state/logs/error.log;
events { worker_connections 64; }
http {
  access_log $state/logs/access.log;
  client_body_temp_path $state/temp/body;
  proxy_temp_path $state/temp/proxy;
  server { listen 127.0.0.1:$port; location / { proxy_pass http://127.0.0.1:${LINGTU_SERVER_PORT:-18080}; } }
}
CONF
"$(command -v nginx || echo /usr/sbin/nginx)" -p "$state" -c "$state/nginx.conf" -g 'daemon off;' &
nginx_pid=$!
finish() {
  kill "$nginx_pid" 2>/dev/null; wait "$nginx_pid" 2>/dev/null || true
  for value in ProxyEnable ProxyServer; do wine reg delete "$key" /v $value /f >/dev/null 2>&1 </dev/null || true; done
  wine reg import "$(winepath -w "$state/settings.reg")" >/dev/null 2>&1 </dev/null || true
}
trap finish EXIT
until (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do
  kill -0 "$nginx_pid" 2>/dev/null || { cat "$state/logs/error.log" >&2; exit 1; }
  sleep 0.1
done
"$repo/tests/support/run_windows_test.sh" "$test_exe"
