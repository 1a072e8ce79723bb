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
mkdir -p "$artifacts"
finish() {
  local status=$?
  bench_fresh_prefix_down
  exit $status
}
trap finish EXIT

bench_fresh_prefix "$work"
logs=$BENCH_LOGS

status=0
# Output to a file: a pipe to CTest could be held open by the prefix's desktop process.
PX_SETUP_EXE="$setup" PX_VENDOR_NAME="$vendor" PX_E2E_ARTIFACTS="$artifacts" \
  bench_wine "$tests" >"$logs/tests.log" 2>&1 || status=$?
cat "$logs/tests.log"
if (( status != 0 )); then
  bench_wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations \
    >"$logs/pending.log" 2>&1 || true
  echo "package: pending renames:"; cat "$logs/pending.log"
  echo "package: still running in the prefix:"
  for pid in $(bench_prefix_processes); do tr '\0' ' ' <"/proc/$pid/cmdline"; echo; done
fi
for bmp in "$artifacts"/removal-*.bmp; do
  [[ -f "$bmp" ]] && convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null && echo "package: ${bmp%.bmp}.png"
done
exit $status
