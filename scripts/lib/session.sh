# Sourced by the scripts: a Wine prefix inside the build tree, and for a run
# that needs windows a private Xvfb display. Everything started here is
# stopped by session_stop, which the callers run from an EXIT trap.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export WINEPREFIX="$ROOT/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
# The program is single-byte Windows-1252; a UTF-8 English locale gives Wine that code page.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

SESSION_XVFB_PID=""
SESSION_WINESERVER=""

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

session_start_wine() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix in $WINEPREFIX (once, about ten seconds)..." >&2
    wineboot -i >/dev/null 2>&1 || true
  fi
  wineserver -p >/dev/null 2>&1 || true
  SESSION_WINESERVER=1
  # Start Wine's background services now, detached from any output pipe: a
  # service started by a test program would inherit that program's pipe and
  # keep ctest waiting for it long after the program has ended.
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
  # A crashing program must end, not wait on Wine's crash dialog: that would
  # hang an unattended test run.
  if [ ! -f "$WINEPREFIX/.vetra-no-crash-dialog" ]; then
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      </dev/null >/dev/null 2>&1 && touch "$WINEPREFIX/.vetra-no-crash-dialog"
  fi
}

session_stop() {
  if [ -n "$SESSION_WINESERVER" ]; then
    wineserver -k >/dev/null 2>&1 || true
    SESSION_WINESERVER=""
  fi
  if [ -n "$SESSION_XVFB_PID" ]; then
    kill "$SESSION_XVFB_PID" 2>/dev/null || true
    wait "$SESSION_XVFB_PID" 2>/dev/null || true
    SESSION_XVFB_PID=""
  fi
}
