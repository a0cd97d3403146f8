#!/usr/bin/env bash
# Extracts the same generated archive (about 60 MB, about 2,000 files) with UnzipToFolder and
# with minizip's miniunz, all under the running Wine, and with Info-ZIP unzip natively, and
# prints the median times and ratios. miniunz runs twice: as it comes (unbuffered Win32 file
# calls) and reading through the C runtime's buffered files like UnzipToFolder does.
# Never fails the caller: it only reports.
# Usage (inside tests/support/with_wine.sh): bench/unzip/run.sh <build dir> [runs]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build dir}" && pwd) || { echo "bench unzip: no build dir $1"; exit 0; }
runs=${2:-3}
work="$build/bench-unzip"  # everything this script writes or removes is in here
archive="$work/bench.zip"
mkdir -p "$work"

ours="$build/bench/unzip/bench_unzip_folder.exe"
miniunz="$build/bench/unzip/miniunz.exe"
miniunz_crt="$build/bench/unzip/miniunz_crt.exe"
for exe in "$ours" "$miniunz" "$miniunz_crt"; do
  [ -f "$exe" ] || { echo "bench unzip: $exe is missing; build first"; exit 0; }
done
if [ ! -f "$archive" ]; then
  python3 "$here/make_bench_archive.py" "$archive.part" && mv "$archive.part" "$archive"
fi

windows() { local p="Z:$1"; echo "${p//\//\\}"; }
fresh() { rm -rf "$work/out-$1" && mkdir -p "$work/out-$1"; }

# Seconds one command takes, or "fail". Its output goes to a file: under Wine, /dev/null is a
# character device, and the C runtime then writes miniunz's listing one character at a time.
timed() {
  local start end
  start=$(date +%s%N)
  if "$@" >"$work/output.log" 2>&1; then
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }'
  else
    echo fail
  fi
}

run_ours() { fresh ours && timed wine "$ours" "$(windows "$archive")" "$(windows "$work/out-ours")"; }
run_miniunz() {
  fresh miniunz && timed wine "$miniunz" -x -o "$(windows "$archive")" -d "$(windows "$work/out-miniunz")"
}
run_miniunz_crt() {
  fresh crt && timed wine "$miniunz_crt" -x -o "$(windows "$archive")" -d "$(windows "$work/out-crt")"
}
run_native() { fresh native && timed unzip -q -o "$archive" -d "$work/out-native"; }

median() {
  printf '%s\n' "$@" | sort -n |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

run_ours >/dev/null  # warm-up: page cache, Wine's DLLs

ours_times=() miniunz_times=() crt_times=() native_times=()
for ((i = 0; i < runs; i++)); do  # interleaved, so drifts of the machine hit all alike
  ours_times+=("$(run_ours)")
  miniunz_times+=("$(run_miniunz)")
  crt_times+=("$(run_miniunz_crt)")
  native_times+=("$(run_native)")
done

if printf '%s\n' "${ours_times[@]}" "${miniunz_times[@]}" "${crt_times[@]}" | grep -q fail; then
  echo "bench unzip: an extraction failed (UnzipToFolder: ${ours_times[*]};" \
    "miniunz: ${miniunz_times[*]}; buffered: ${crt_times[*]})"
  exit 0
fi
same=identical
diff -r "$work/out-ours" "$work/out-miniunz" >/dev/null 2>&1 || same=DIFFERENT

ours_median=$(median "${ours_times[@]}")
miniunz_median=$(median "${miniunz_times[@]}")
crt_median=$(median "${crt_times[@]}")
native_median=$(median "${native_times[@]}")
files=$(find "$work/out-ours" -type f | wc -l)
size_mb=$(awk -v b="$(stat -c %s "$archive")" 'BEGIN { printf "%.1f", b / 1048576 }')

echo "bench unzip: ${size_mb} MB archive, ${files} files, median of ${runs} runs (process start included)"
printf '  %-32s %8s s\n' "UnzipToFolder (Wine)" "$ours_median"
printf '  %-32s %8s s\n' "miniunz (Wine)" "$miniunz_median"
printf '  %-32s %8s s\n' "miniunz, buffered reads (Wine)" "$crt_median"
printf '  %-32s %8s s\n' "Info-ZIP unzip (native)" "$native_median"
echo "  UnzipToFolder / miniunz: $(ratio "$ours_median" "$miniunz_median") (aim: at most 1.25)"
echo "  UnzipToFolder / miniunz with buffered reads: $(ratio "$ours_median" "$crt_median")"
echo "  UnzipToFolder / native unzip: $(ratio "$ours_median" "$native_median")"
echo "  trees extracted by UnzipToFolder and miniunz: $same"
rm -rf "$work"/out-* "$work/output.log"
