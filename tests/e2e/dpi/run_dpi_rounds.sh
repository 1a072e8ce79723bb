#!/usr/bin/env bash
# Runs the DPI tests once per DPI in a Wine prefix made for them alone and removed afterwards:
# the DPI is prefix-wide and the other tests share the bench prefix at 96.
# usage: run_dpi_rounds.sh WORKDIR BUILDDIR TEST_EXE ARTIFACTS
set -euo pipefail
work=$1 build=$2 tests=$3 artifacts=$4
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../../scripts/lib/bench.sh"
source "$here/../../../scripts/lib/standin.sh"

mkdir -p "$artifacts"
finish() {
  local status=$?
  bench_fresh_prefix_down
  exit $status
}
trap finish EXIT

bench_fresh_prefix "$work"
logs=$BENCH_LOGS
standin_install "$build"

status=0
for dpi in 96 120 144; do
  bench_wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$dpi" /f >>"$logs/reg.log" 2>&1
  # The DPI is read when the server's first process starts; the stand-in is auto-start.
  wineserver -k || true
  wineserver -w || true
  wineserver -p
  standin_wait_device "$logs" || { status=1; continue; }
  round=0
  # Output to a file: a pipe to CTest could be held open by the prefix's desktop process.
  PX_EXPECTED_DPI=$dpi PX_E2E_ARTIFACTS="$artifacts/$dpi" bench_wine "$tests" >"$logs/tests-$dpi.log" 2>&1 || round=$?
  echo "dpi: ---- $dpi DPI ----"
  cat "$logs/tests-$dpi.log"
  (( round == 0 )) || status=1
done
exit $status
