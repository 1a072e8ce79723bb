# Sourced by the scripts: a private Wine prefix and display for running the Windows programs.
# bench_up DIR   - prefix in DIR/wineprefix (made once, reused), Xvfb + openbox when there is no
#                  DISPLAY, one persistent wineserver for the whole run.
# bench_down     - stops what bench_up started, each by its own PID; the server cleanly, so the
#                  registry reaches the disk.
# bench_fresh_prefix DIR / bench_fresh_prefix_down - a prefix made for one run in DIR/wineprefix
#                  (logs in $BENCH_LOGS = DIR/logs) and removed again, for tests that must not run
#                  in the shared one: a prefix-wide DPI, programs that restart "Windows".

export WINEDEBUG=-all
# No Mono/Gecko download prompts in a fresh prefix: this machine has no network for them.
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"

BENCH_STARTED_X=""
BENCH_STARTED_WM=""

bench_log() { echo "bench: $*" >&2; }

# Everything the bench runs is 64-bit, and goes through the 64-bit loader. With wine32 installed
# a plain `wine sc` runs the 32-bit tool: its HKLM\Software is the 32-bit view, and a service it
# creates is marked WOW64, which loads the 64-bit stand-in into a 32-bit winedevice and fails.
# Where the kernel runs no 32-bit code at all, a plain `wine` fails outright ("Exec format error").
if [[ -x /usr/lib/wine/wine64 ]]; then BENCH_WINE64=/usr/lib/wine/wine64
elif command -v wine64 >/dev/null 2>&1; then BENCH_WINE64=wine64
else BENCH_WINE64=wine
fi
export BENCH_WINE64
bench_wine() { "$BENCH_WINE64" "$@"; }

# What a prefix was made with: one made before wine32 came may fail its first start with it.
bench_wine_kind() {
  if [[ -x /usr/lib/wine/wine ]]; then echo "wine64+wine32"; else echo "wine64"; fi
}

# wineboot -i into $WINEPREFIX, logging to $1. Wine now and then fails a new prefix at once
# ("could not load kernel32.dll", no registry written); a second attempt then works.
bench_wineboot() {
  local log=$1 attempt
  for attempt in 1 2 3; do
    bench_wine wineboot -i >"$log" 2>&1 || true
    wineserver -w || true
    if [[ -f "$WINEPREFIX/system.reg" ]] && ! grep -q 'could not load kernel32' "$log"; then return 0; fi
    bench_log "wineboot failed (attempt $attempt), making the prefix again:"; tail -3 "$log" >&2
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  done
  return 1
}

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
  local kind
  kind=$(bench_wine_kind)
  if [[ "$(cat "$WINEPREFIX/.bench-ready" 2>/dev/null)" != "$kind" ]]; then
    bench_log "creating Wine prefix $WINEPREFIX ($kind)"
    rm -rf "$WINEPREFIX"
    bench_wineboot "$dir/wineboot.log" || return 1
    echo "$kind" >"$WINEPREFIX/.bench-ready"
  fi
  if [[ ! -f "$WINEPREFIX/.bench-fonts" ]]; then
    bench_configure_prefix "$dir/wineboot.log"
    touch "$WINEPREFIX/.bench-fonts"
  fi
}

# What every prefix of ours needs: no crash dialog waiting for a click, and Liberation Serif
# (same metrics) where the vendor title asks for Times New Roman.
bench_configure_prefix() {
  local log=$1
  bench_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$log" 2>&1
  bench_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /t REG_SZ \
    /d 'Liberation Serif' /f >>"$log" 2>&1
  wineserver -w || true
}

bench_up() {
  local dir=$1
  bench_display
  bench_prefix "$dir"
  wineserver -p
  # Each later wine start now finds a running server (~50 ms instead of ~1 s).
  bench_wine cmd /c exit >/dev/null 2>&1 || true
}

bench_down() {
  if [[ -n "${WINEPREFIX:-}" ]]; then wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true; fi
  [[ -n "$BENCH_STARTED_WM" ]] && kill "$BENCH_STARTED_WM" 2>/dev/null || true
  [[ -n "$BENCH_STARTED_X" ]] && kill "$BENCH_STARTED_X" 2>/dev/null || true
  BENCH_STARTED_WM=""; BENCH_STARTED_X=""
}

BENCH_LOGS=""
BENCH_FRESH_PREFIX=""

bench_fresh_prefix() {
  mkdir -p "$1"
  local dir
  dir=$(cd "$1" && pwd)
  export WINEPREFIX="$dir/wineprefix"
  BENCH_FRESH_PREFIX=$WINEPREFIX
  BENCH_LOGS="$dir/logs"
  rm -rf "$WINEPREFIX" "$BENCH_LOGS"
  mkdir -p "$BENCH_LOGS"
  bench_display  # the caller's display when there is one
  local started
  started=$(date +%s)
  bench_wineboot "$BENCH_LOGS/wineboot.log" || return 1
  bench_configure_prefix "$BENCH_LOGS/wineboot.log"
  wineserver -p
  bench_log "fresh prefix ready in $(( $(date +%s) - started )) s"
}

# PIDs of whatever still runs from this prefix.
bench_prefix_processes() {
  local pid
  for pid in $(pgrep -f '\.exe' || true); do
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid"
  done
  return 0
}

bench_fresh_prefix_down() {
  # Only a prefix made here goes: an inherited WINEPREFIX may be the shared bench's.
  if [[ -z "$BENCH_FRESH_PREFIX" || "${WINEPREFIX:-}" != "$BENCH_FRESH_PREFIX" ]]; then
    bench_down
    return 0
  fi
  { wineserver -k; wineserver -w; } >>"$BENCH_LOGS/teardown.log" 2>&1 || true
  # wineserver -k can leave winedevice behind.
  local pid
  for pid in $(bench_prefix_processes); do kill "$pid" 2>/dev/null || true; done
  bench_down
  rm -rf "$WINEPREFIX"
}
