#!/usr/bin/env bash
# Downloads the same 50 MB body from the local update server with HttpGetAsync (chunks written
# to a file from the FileDownload handler), with a minimal WinInet read loop making the same
# request and writing the same file, both under the running Wine, and with curl natively.
# Prints median times, ratios and peak memory. Never fails the caller: it only reports.
# Usage (inside tests/support/with_wine.sh): bench/net/run.sh <build dir> [runs]
set -uo pipefail
build=$(cd "$1" && pwd)
runs=${2:-5}
work="$build/bench-net"
body="$work/body.bin"
exe="$build/bench/net/bench_net_download.exe"
port=${LINGTU_SERVER_PORT:-18080}
control="http://127.0.0.1:$((port + 1))"
url="http://127.0.0.1:$port/bench/body.bin"
mkdir -p "$work"

[ -f "$exe" ] || { echo "bench net: $exe is missing; build first"; exit 0; }
if [ ! -f "$body" ]; then
  head -c $((50 * 1024 * 1024)) /dev/urandom >"$body.part" && mv "$body.part" "$body"
fi
# Large writes on the server's side, so that the server is not what is measured.
if ! curl -sf --data-binary "@$body" "$control/route?path=%2Fbench%2Fbody.bin&chunk_size=1048576" >/dev/null; then
  echo "bench net: the update server does not answer on $control (run inside with_wine.sh)"
  exit 0
fi

windows() { local p="Z:$1"; echo "${p//\//\\}"; }

# "<seconds> <bytes> <peak bytes>" of one download, or "fail".
run_wine() {
  local out
  out=$(wine "$exe" "$1" "$url" "$(windows "$work/out-$1.bin")" 2>/dev/null) && echo "$out" || echo fail
}
run_curl() {
  local out
  out=$(curl -sf -o "$work/out-curl.bin" -w '%{time_total} %{size_download}' "$url") \
    && echo "$out 0" || echo fail
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
mb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }

run_wine control >/dev/null; run_wine loop >/dev/null  # warm-up: page cache, Wine DLLs

size=$(stat -c %s "$body")
declare -a c_time c_peak l_time l_peak n_time
for ((i = 0; i < runs; i++)); do  # interleaved, so drifts of the machine hit all alike
  read -r t b p <<<"$(run_wine control)"
  if [ "$t" = fail ] || [ "$b" != "$size" ]; then echo "bench net: HttpGetAsync download failed ($t $b)"; exit 0; fi
  c_time+=("$t"); c_peak+=("$p")
  read -r t b p <<<"$(run_wine loop)"
  if [ "$t" = fail ]; then echo "bench net: the WinInet loop failed"; exit 0; fi
  l_time+=("$t"); l_peak+=("$p")
  read -r t b p <<<"$(run_curl)"
  n_time+=("$t")
done
same="identical"
cmp -s "$work/out-control.bin" "$body" || same="DIFFERENT"

c=$(median "${c_time[@]}"); l=$(median "${l_time[@]}"); n=$(median "${n_time[@]}")
echo "bench net: $(mb "$size") MB over loopback, median of $runs runs (time inside the process)"
printf '  %-36s %8.3f s   peak working set %6s MB\n' "HttpGetAsync to a file (Wine)" "$c" "$(mb "$(median "${c_peak[@]}")")"
printf '  %-36s %8.3f s   peak working set %6s MB\n' "minimal WinInet read loop (Wine)" "$l" "$(mb "$(median "${l_peak[@]}")")"
printf '  %-36s %8.3f s\n' "curl (native)" "$n"
echo "  HttpGetAsync / WinInet loop: $(ratio "$c" "$l") (aim: at most 1.2)"
echo "  HttpGetAsync / curl: $(ratio "$c" "$n")"
echo "  file written by HttpGetAsync: $same to the body served"
rm -f "$work"/out-*.bin
