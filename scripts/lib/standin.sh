# Sourced after bench_up: installs the PXWNTCOM driver stand-in into the bench's Wine prefix
# and leaves the state a setup package would (OEM key, programs in the install folder).
#
# standin_install BUILDDIR   BUILDDIR is the Windows build tree (the one given to bench_up).
#                            Idempotent; when nothing changed it costs three short wine starts.
# Afterwards PXSIM names the installed pxsim (C:\windows\pxsim.exe, so `wine pxsim` works too).

STANDIN_SERVICE=PXWNTCOM
STANDIN_OEM_KEY='HKLM\SOFTWARE\Veldrant\TouchScreen\PX-K17-COM'
STANDIN_INSTALL_PATH='C:\Program Files\TouchScreen'

standin_log() { echo "standin: $*" >&2; }

# Wine's output goes to files: read through a pipe it can hang (see wine-bench.md).
standin_wine() {
  local log=$1; shift
  bench_wine "$@" >"$log" 2>&1
}

standin_service_exists() {
  standin_wine "$1/sc-query.log" sc query "$STANDIN_SERVICE"
}

# A service created by a 32-bit sc (a bench before this one, with wine32) never starts.
standin_service_wow64() {
  standin_wine "$1/reg-wow64.log" reg query \
    "HKLM\\System\\CurrentControlSet\\Services\\$STANDIN_SERVICE" /v WOW64 \
    && grep -q '0x1' "$1/reg-wow64.log"
}

standin_wait_device() {
  local logdir=$1 i
  for i in $(seq 1 100); do
    if standin_wine "$logdir/pxsim-show.log" "$PXSIM" show; then return 0; fi
    sleep 0.1
  done
  standin_log "the device did not open; pxsim said:"; cat "$logdir/pxsim-show.log" >&2
  return 1
}

standin_install() {
  local build=$1
  local sys="$build/standin/PXWNTCOM.sys" pxsim_built="$build/standin/pxsim.exe"
  local drive_c="$WINEPREFIX/drive_c"
  local installed="$drive_c/windows/system32/drivers/PXWNTCOM.sys"
  local logdir="$build/standin-logs"
  mkdir -p "$logdir"
  [[ -f "$sys" && -f "$pxsim_built" ]] || { standin_log "build the stand-in first: $sys or $pxsim_built is missing"; return 1; }

  cp -p "$pxsim_built" "$drive_c/windows/pxsim.exe"
  export PXSIM='C:\windows\pxsim.exe'

  local exists=0 changed=0
  standin_service_exists "$logdir" && exists=1
  if (( exists )) && standin_service_wow64 "$logdir"; then
    standin_log "the $STANDIN_SERVICE service is marked WOW64: creating it again"
    standin_wine "$logdir/sc-stop.log" sc stop "$STANDIN_SERVICE" || true
    standin_wine "$logdir/sc-delete.log" sc delete "$STANDIN_SERVICE" || true
    exists=0
  fi
  cmp -s "$sys" "$installed" || changed=1
  if (( changed )); then
    # A loaded driver must not have its file rewritten under it.
    (( exists )) && standin_wine "$logdir/sc-stop.log" sc stop "$STANDIN_SERVICE" || true
    cp "$sys" "$installed"
    standin_log "installed $(basename "$sys")"
  fi
  if (( ! exists )); then
    standin_wine "$logdir/sc-create.log" sc create "$STANDIN_SERVICE" type= kernel start= auto \
      binPath= 'C:\windows\system32\drivers\PXWNTCOM.sys' \
      || { standin_log "sc create failed"; cat "$logdir/sc-create.log" >&2; return 1; }
    standin_log "created the $STANDIN_SERVICE service"
  fi
  # Starting a running service only fails harmlessly.
  if (( changed || ! exists )) || ! standin_wine "$logdir/pxsim-show.log" "$PXSIM" show; then
    standin_wine "$logdir/sc-start.log" sc start "$STANDIN_SERVICE" || true
  fi
  standin_wait_device "$logdir" || return 1

  standin_product_state "$build" "$logdir"
}

# What the product's setup leaves behind: the OEM key and the programs in the install folder.
standin_product_state() {
  local build=$1 logdir=$2
  local folder="$WINEPREFIX/drive_c/Program Files/TouchScreen"
  local reg="$logdir/oem.reg"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[%s]\r\n' 'HKEY_LOCAL_MACHINE\SOFTWARE\Veldrant\TouchScreen\PX-K17-COM'
    printf '"VenderName"="Veldrant Touch Systems"\r\n'
    printf '"InstallPath"="C:\\\\Program Files\\\\TouchScreen"\r\n'
    printf '"WindowsPath"="C:\\\\windows"\r\n'
    printf '"SystemPath"="C:\\\\windows\\\\system32"\r\n'
    printf '"HardwareID"="SERENUM\\\\PXK17COM"\r\n'
  } >"$reg"
  # The marker lives in the prefix: a new prefix needs the key again.
  local done_marker="$WINEPREFIX/.standin-oem.reg"
  if ! cmp -s "$reg" "$done_marker"; then
    standin_wine "$logdir/reg-import.log" reg import "Z:${reg//\//\\}" \
      || { standin_log "importing the OEM key failed"; cat "$logdir/reg-import.log" >&2; return 1; }
    cp "$reg" "$done_marker"
  fi

  mkdir -p "$folder"
  local exe copied=0
  shopt -s nullglob
  for exe in "$build"/bin/PXwNT*.exe; do
    cp -p "$exe" "$folder/" && copied=$((copied + 1))
  done
  shopt -u nullglob
  standin_log "ready: device open, OEM key set, $copied program(s) in $STANDIN_INSTALL_PATH"
}
