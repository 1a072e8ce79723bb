#!/usr/bin/env bash
# Runs the package tests in a Wine prefix made for them alone and removed afterwards: the
# programs of the package restart "Windows", which under Wine ends every windowed process of
# the prefix, so they must never run in the shared bench prefix.
# usage: run_in_fresh_prefix.sh WORKDIR TEST_EXE SETUP_EXE VENDOR_NAME ARTIFACTS
set -euo pipefail
work=$1 tests=$2 setup=$3 vendor=$4 artifacts=$5
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../../scripts/lib/bench.sh"

[[ -f "$setup" ]] || { echo "package: $setup is missing (build the touchscreen_setup target)"; exit 1; }
mkdir -p "$work" "$artifacts"
export WINEPREFIX="$work/wineprefix"
logs="$work/logs"
rm -rf "$WINEPREFIX" "$logs"
mkdir -p "$logs"

# Whatever still runs from this prefix is ours; wineserver -k can leave winedevice behind.
kill_prefix_leftovers() {
  local pid
  for pid in $(pgrep -f '\.exe' || true); do
    if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      kill "$pid" 2>/dev/null || true
    fi
  done
}

finish() {
  local status=$?
  { date +%T.%N; wineserver -k; date +%T.%N; wineserver -w; date +%T.%N; } >>"$logs/teardown.log" 2>&1 || true
  kill_prefix_leftovers
  bench_down
  rm -rf "$WINEPREFIX"
  date +%T.%N >>"$logs/teardown.log"
  exit $status
}
trap finish EXIT

bench_display  # the caller's display when there is one
started=$(date +%s)
wineboot -i >"$logs/wineboot.log" 2>&1 || true
wineserver -w || true
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$logs/wineboot.log" 2>&1
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /t REG_SZ \
  /d 'Liberation Serif' /f >>"$logs/wineboot.log" 2>&1
wineserver -w || true
wineserver -p
echo "package: fresh prefix ready in $(( $(date +%s) - started )) s"

status=0
# Output to a file: a pipe to CTest could be held open by the prefix's desktop process.
PX_SETUP_EXE="$setup" PX_VENDOR_NAME="$vendor" PX_E2E_ARTIFACTS="$artifacts" \
  wine "$tests" >"$logs/tests.log" 2>&1 || status=$?
date +%T.%N >"$logs/teardown.log"
cat "$logs/tests.log"
if (( status != 0 )); then
  wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations \
    >"$logs/pending.log" 2>&1 || true
  echo "package: pending renames:"; cat "$logs/pending.log"
  echo "package: still running in the prefix:"
  for pid in $(pgrep -f '\.exe' || true); do
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" \
      && tr '\0' ' ' <"/proc/$pid/cmdline" && echo
  done
fi
for bmp in "$artifacts"/removal-*.bmp; do
  [[ -f "$bmp" ]] && convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null && echo "package: ${bmp%.bmp}.png"
done
exit $status
