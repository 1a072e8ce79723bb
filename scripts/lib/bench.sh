# Sourced by the scripts: a private Wine prefix and display for running the Windows programs.
# bench_up DIR   - prefix in DIR/wineprefix (made once, reused), Xvfb + openbox when there is no
#                  DISPLAY, one persistent wineserver for the whole run.
# bench_down     - stops what bench_up started, each by its own PID; the server cleanly, so the
#                  registry reaches the disk.

export WINEDEBUG=-all
# No Mono/Gecko download prompts in a fresh prefix: this machine has no network for them.
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"

BENCH_STARTED_X=""
BENCH_STARTED_WM=""

bench_log() { echo "bench: $*" >&2; }

bench_display() {
  if [[ -n "${DISPLAY:-}" ]]; then return 0; fi
  local n
  for n in $(seq 90 120); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    BENCH_STARTED_X=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
      [[ -e /tmp/.X11-unix/X$n ]] && break
      sleep 0.1
    done
    if command -v openbox >/dev/null 2>&1; then
      openbox >/dev/null 2>&1 &
      BENCH_STARTED_WM=$!
    fi
    bench_log "started Xvfb on $DISPLAY (pid $BENCH_STARTED_X)"
    return 0
  done
  bench_log "no free X display number"; return 1
}

bench_prefix() {
  local dir
  dir=$(mkdir -p "$1" && cd "$1" && pwd)
  export WINEPREFIX="$dir/wineprefix"
  if [[ ! -f "$WINEPREFIX/.bench-ready" ]]; then
    bench_log "creating Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    wineboot -i >"$dir/wineboot.log" 2>&1 || true
    wineserver -w || true
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$dir/wineboot.log" 2>&1
    wineserver -w || true
    touch "$WINEPREFIX/.bench-ready"
  fi
  if [[ ! -f "$WINEPREFIX/.bench-fonts" ]]; then
    # The vendor title asks for Times New Roman; Liberation Serif has the same metrics.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /t REG_SZ \
      /d 'Liberation Serif' /f >>"$dir/wineboot.log" 2>&1
    wineserver -w || true
    touch "$WINEPREFIX/.bench-fonts"
  fi
}

bench_up() {
  local dir=$1
  bench_display
  bench_prefix "$dir"
  wineserver -p
  # Each later wine start now finds a running server (~50 ms instead of ~1 s).
  wine cmd /c exit >/dev/null 2>&1 || true
}

bench_down() {
  if [[ -n "${WINEPREFIX:-}" ]]; then wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true; fi
  [[ -n "$BENCH_STARTED_WM" ]] && kill "$BENCH_STARTED_WM" 2>/dev/null || true
  [[ -n "$BENCH_STARTED_X" ]] && kill "$BENCH_STARTED_X" 2>/dev/null || true
  BENCH_STARTED_WM=""; BENCH_STARTED_X=""
}
