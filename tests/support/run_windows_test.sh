#!/bin/sh
# Runs a Windows test program under Wine for the test runner, with the program's output
# going through files rather than the runner's pipes. Wine's desktop process (explorer.exe)
# and the wineserver can keep a copy of a program's standard output open long after the
# program has ended; were that the runner's pipe, the runner would count the test as
# running until the desktop process ends, minutes later when other tests keep it up.
# Usage: run_windows_test.sh <program.exe> [arguments...]
out=$(mktemp) && err=$(mktemp) || exit 1
finish() {
  cat "$out"
  cat "$err" >&2
  rm -f "$out" "$err"
}
trap 'finish; exit 143' TERM
trap 'finish; exit 130' INT
wine "$@" >"$out" 2>"$err" </dev/null
status=$?
finish
exit $status
