# Sourced by the scripts: a Wine prefix inside the build tree, and for a run
# that needs windows a private Xvfb display. Everything started here is
# stopped by session_stop, which the callers run from an EXIT trap.
# The Windows build that runs is the one scripts/lib/world.sh chose
# (VETRA_WINDOWS): the 32-bit one in a 32-bit prefix, build/wineprefix, or
# the 64-bit one in a 64-bit prefix, build/wineprefix64, under Wine's 64-bit
# loader, which starts where the 32-bit one cannot.
# VETRA_WINEPREFIX=<folder> uses another prefix for that build (made there
# when new).

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$ROOT/scripts/lib/world.sh" || return $?
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

SESSION_PREFIXES=""

# Points Wine at the prefix and loader of one build, win32 or win64: the
# environment every program started after it inherits (VETRA_WINE is the
# loader to start a Windows program with).
session_windows() {
  local which=$1
  export VETRA_WINDOWS_RUNNING=$which
  if [ "$which" = win64 ]; then
    export WINEARCH=win64 VETRA_WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
    WINEPREFIX=$ROOT/build/wineprefix64
  else
    export WINEARCH=win32 VETRA_WINE=wine
    unset WINELOADER
    WINEPREFIX=$ROOT/build/wineprefix
  fi
  [ "$which" = "$VETRA_WINDOWS" ] && [ -n "${VETRA_WINEPREFIX:-}" ] && WINEPREFIX=$VETRA_WINEPREFIX
  export WINEPREFIX
}
session_windows "${VETRA_WINDOWS_RUNNING:-$VETRA_WINDOWS}"
# The program is single-byte Windows-1252; a UTF-8 English locale gives Wine that code page.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

SESSION_XVFB_PID=""

session_start_display() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  SESSION_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 100); do
    if xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

# Makes the prefix once, completely, before anything else runs in it.
# `wineboot -i` returns before the prefix is finished: the server writes the
# registry files only when it ends, and Wine's services go on setting up
# behind it. A program started in that state (worse, a second `wineboot -i`
# on the half-made prefix) could wait minutes for a window that never came,
# so the server is waited for until it has ended and written everything.
session_make_prefix() {
  if [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/.vetra-ready" ]; then return 0; fi
  if [ "$WINEARCH" = win64 ] && ! world_has_wine64; then
    echo "Wine's 64-bit loader ($VETRA_WINE) is not installed: scripts/setup installs it (package wine64)" >&2
    return 1
  fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  echo "Creating the Wine prefix in $WINEPREFIX (once, about twenty seconds)..." >&2
  "$VETRA_WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
  wineserver -w
  # A crashing program must end, not wait on Wine's crash dialog: that would
  # hang an unattended test run.
  "$VETRA_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    </dev/null >/dev/null 2>&1 || true
  wineserver -w
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "The Wine prefix in $WINEPREFIX could not be made (no system.reg after wineboot)" >&2
    return 1
  fi
  touch "$WINEPREFIX/.vetra-ready"
}

session_start_wine() {
  session_make_prefix || return 1
  wineserver -p >/dev/null 2>&1 || true
  SESSION_PREFIXES="$SESSION_PREFIXES $WINEPREFIX"
  # Start Wine's background services now, detached from any output pipe: a
  # service started by a test program would inherit that program's pipe and
  # keep ctest waiting for it long after the program has ended.
  "$VETRA_WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

session_stop() {
  local prefix
  for prefix in $SESSION_PREFIXES; do
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  done
  SESSION_PREFIXES=""
  if [ -n "$SESSION_XVFB_PID" ]; then
    kill "$SESSION_XVFB_PID" 2>/dev/null || true
    wait "$SESSION_XVFB_PID" 2>/dev/null || true
    SESSION_XVFB_PID=""
  fi
}
