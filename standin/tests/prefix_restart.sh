#!/usr/bin/env bash
# Settings must survive a clean restart of the whole Wine prefix, not only of the service: the
# driver's registry values reach the disk only when the server shuts down.
# usage: prefix_restart.sh PXSIM.EXE   (under the bench: WINEPREFIX set, server running)
set -euo pipefail
pxsim=$1
[[ -n "${WINEPREFIX:-}" ]] || { echo "prefix_restart: WINEPREFIX is not set (run under the bench)" >&2; exit 1; }
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# Output to files: a pipe from wine can hang.
sim() { "${BENCH_WINE64:-wine}" "$pxsim" "$@" >"$logs/raw" 2>"$logs/err" && tr -d '\r' <"$logs/raw" >"$logs/out"; }
fail() { echo "prefix_restart: $*" >&2; cat "$logs/out" "$logs/err" >&2 2>/dev/null || true; exit 1; }

sim reset || fail "pxsim reset failed"
sim set Sensitivity=77 CalYMax=999 ScreenWidth=800 RbfWindow=4660 || fail "pxsim set failed"

wineserver -k
wineserver -w
# The new server and the system processes it starts outlive this script: none of them may
# hold CTest's output pipes.
wineserver -p </dev/null >/dev/null 2>&1
"${BENCH_WINE64:-wine}" cmd /c exit </dev/null >/dev/null 2>&1 || true

opened=0
for _ in $(seq 1 100); do
  if sim show; then opened=1; break; fi
  sleep 0.1
done
(( opened )) || fail "the device did not come back after the prefix restart"

for expected in Sensitivity=77 CalYMax=999 ScreenWidth=800 RbfWindow=-1 TouchMode=1; do
  grep -qx "$expected" "$logs/out" || fail "expected $expected after the restart"
done
sim reset || fail "pxsim reset failed"
echo "prefix_restart: settings kept across wineserver -k and a fresh start"
