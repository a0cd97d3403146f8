#!/usr/bin/env bash
# Load on the update server: requests for the version text, as every starting assistant sends
# one, at a given concurrency against nginx with the site's own configuration on loopback (ab,
# from apache2-utils, a new connection per request). Prints requests per second, failures and
# latencies. Never fails its caller.
# Usage: bench/update_server/run.sh <build dir> [requests] [concurrency]
set -uo pipefail
build=$(cd "$1" && pwd)
requests=${2:-10000}
concurrency=${3:-50}
repo=$(cd "$(dirname "$0")/../.." && pwd)
state=$build/bench/update_server
port=$(sed -n 's/^NGINX_TEST_PORT:[A-Z]*=//p' "$build/CMakeCache.txt")
port=${port:-18082}
for program in ab nginx openssl; do
  command -v "$program" >/dev/null || [ -x "/usr/sbin/$program" ] ||
    { echo "bench update_server: $program is missing (scripts/setup.sh)"; exit 0; }
done

rm -rf "$state"
mkdir -p "$state"
python3 "$repo/tests/support/make_plugin_archive.py" --folder "$state/plugin" &&
  python3 "$repo/scripts/publish.py" key "$state/key.pem" >/dev/null &&
  python3 "$repo/scripts/publish.py" publish "$state/plugin" 1.0.9 "$state/key.pem" \
    "$state/tree" >/dev/null || { echo "bench update_server: publishing failed"; exit 0; }
. "$repo/deploy/nginx/local_nginx.sh"
start_local_nginx "$state/tree" "$state/nginx" "$port" || { echo "bench update_server: nginx did not start"; exit 0; }

ab -q -n "$requests" -c "$concurrency" "http://127.0.0.1:$port/index/tools/getVersion" \
  >"$state/ab.txt" 2>&1 || { echo "bench update_server: ab failed"; cat "$state/ab.txt"; exit 0; }
value() { sed -n "s/^$1: *\([0-9.]*\).*/\1/p" "$state/ab.txt" | head -n 1; }
non2xx=$(value 'Non-2xx responses')
echo "bench update_server: $requests version requests at concurrency $concurrency, nginx on loopback"
printf '  %-34s %10s\n' "requests per second" "$(value 'Requests per second')" \
  "complete requests" "$(value 'Complete requests')" \
  "failed requests" "$(value 'Failed requests')" \
  "non-2xx responses" "${non2xx:-0}" \
  "median latency (ms)" "$(sed -n 's/^ *50% *\([0-9]*\).*/\1/p' "$state/ab.txt")" \
  "99% within (ms)" "$(sed -n 's/^ *99% *\([0-9]*\).*/\1/p' "$state/ab.txt")"
exit 0
