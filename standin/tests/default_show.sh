#!/usr/bin/env bash
# After a reset, `pxsim show` prints exactly the default block documented in standin/README.md.
# usage: default_show.sh PXSIM.EXE EXPECTED.TXT   (under the bench)
set -euo pipefail
pxsim=$1 expected=$2
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
"${BENCH_WINE64:-wine}" "$pxsim" reset >"$logs/reset" 2>&1 || { cat "$logs/reset" >&2; exit 1; }
"${BENCH_WINE64:-wine}" "$pxsim" show >"$logs/raw" 2>"$logs/err" || { cat "$logs/err" >&2; exit 1; }
tr -d '\r' <"$logs/raw" >"$logs/out"
diff -u "$expected" "$logs/out"
echo "default_show: pxsim show matches the documented default block"
