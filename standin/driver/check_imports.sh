#!/usr/bin/env bash
# Fails when the driver imports a function that Wine's kernel modules do not export: Wine would
# refuse to load it, and the only symptom would be a device that never appears.
# usage: check_imports.sh OBJDUMP DRIVER.sys WINE_DLL_DIR
set -euo pipefail
objdump=$1 driver=$2 winedir=$3

imports=$("$objdump" -p "$driver" | awk '
  /DLL Name:/ { dll = tolower($3); next }
  dll != "" && /^\t[0-9a-f]+\t/ { print dll, $3; next }
  /^$/ { dll = "" }')
[[ -n "$imports" ]] || { echo "check_imports: no imports found in $driver" >&2; exit 1; }

exports() { "$objdump" -p "$1" | awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next } on && /^\t\[/ { print $NF }'; }

missing=0
declare -A exported=()
while read -r dll name; do
  module="$winedir/$dll"
  [[ -f "$module" ]] || { echo "check_imports: $driver imports from $dll, which Wine does not provide" >&2; missing=1; continue; }
  [[ -n "${exported[$dll]:-}" ]] || exported[$dll]=" $(exports "$module" | tr '\n' ' ')"
  if [[ "${exported[$dll]}" != *" $name "* ]]; then
    echo "check_imports: $dll does not export $name" >&2
    missing=1
  fi
done <<<"$imports"
exit $missing
