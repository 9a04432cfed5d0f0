# Sourced by every script: what this machine can run, found out once.
#
# Some kernels run no 32-bit x86 code at all (32-bit emulation turned off):
# every i386 program fails with "Exec format error", Wine's 32-bit loader
# included. Such a machine still builds the 32-bit player we ship, but it
# tests a 64-bit build of the same sources under Wine's 64-bit loader, and
# runs the 32-bit picture tests under user-mode emulation.
#
# The answers are exported, so a script started by another asks nothing
# again; setting them by hand overrides the look:
#   VETRA_RUNS_I386=yes|no      whether this machine runs 32-bit x86 code
#   VETRA_WINDOWS=win32|win64   the Windows build the tiers run

# Whether i386 programs are handed to qemu-i386 by binfmt_misc: they then
# run under emulation even where the kernel could run them (its handlers come
# before the kernel's own), and Wine's 32-bit loader does not run so.
world_i386_emulated() {
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$entry" ] || continue
    if head -n1 "$entry" 2>/dev/null | grep -qx enabled && grep -q '^interpreter .*qemu-i386' "$entry" 2>/dev/null; then
      return 0
    fi
  done
  return 1
}

# A complete 32-bit Linux program of 96 bytes that exits with 7: the kernel
# either runs it or refuses it, whatever is installed.
world_i386_probe() {
  local probe status here
  world_i386_emulated && return 1
  # In the project's build folder, which must let programs run anyway (a
  # temporary folder may be mounted without that right).
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build
  mkdir -p "$here" || return 1
  probe=$(mktemp "$here/i386-probe.XXXXXX") || return 1
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\007\000\000\000\315\200' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  [ "$status" -eq 7 ]
}

world_decide() {
  case "${VETRA_RUNS_I386:-}" in
    yes | no) ;;
    "") if world_i386_probe; then VETRA_RUNS_I386=yes; else VETRA_RUNS_I386=no; fi ;;
    *) echo "VETRA_RUNS_I386 must be yes or no, not '$VETRA_RUNS_I386'" >&2; return 2 ;;
  esac
  case "${VETRA_WINDOWS:-}" in
    win32 | win64) ;;
    "") if [ "$VETRA_RUNS_I386" = yes ]; then VETRA_WINDOWS=win32; else VETRA_WINDOWS=win64; fi ;;
    *) echo "VETRA_WINDOWS must be win32 or win64, not '$VETRA_WINDOWS'" >&2; return 2 ;;
  esac
  if [ "$VETRA_WINDOWS" = win32 ] && [ "$VETRA_RUNS_I386" = no ]; then
    echo "VETRA_WINDOWS=win32 asks for the 32-bit build, which this machine cannot run" >&2
    return 2
  fi
  export VETRA_RUNS_I386 VETRA_WINDOWS
}

# Whether Wine's 64-bit loader is installed (Debian's wine64).
world_has_wine64() {
  [ -x /usr/lib/wine/wine64 ]
}

# The one line each front script prints about where it runs: world_line test
# for the tests, world_line play for the player.
world_line() {
  local what=${1:-test}
  if [ "$VETRA_RUNS_I386" = no ]; then
    if [ "$what" = play ]; then
      echo "this machine runs no 32-bit code: the player runs as its 64-bit build under Wine's 64-bit loader"
    else
      echo "this machine runs no 32-bit code: the Windows tests run the 64-bit build under Wine's 64-bit loader, the 32-bit picture tests under qemu-i386"
    fi
  elif [ "$VETRA_WINDOWS" = win64 ]; then
    if [ "$what" = play ]; then
      echo "this machine runs 32-bit code, but VETRA_WINDOWS=win64: the player runs as its 64-bit build under Wine's 64-bit loader"
    else
      echo "this machine runs 32-bit code, but VETRA_WINDOWS=win64: the Windows tests run the 64-bit build under Wine's 64-bit loader"
    fi
  elif [ "$what" = play ]; then
    echo "this machine runs 32-bit code: the player runs as the 32-bit build we ship, under Wine"
  else
    echo "this machine runs 32-bit code: the Windows tests run the 32-bit build we ship under Wine, and win_tests the 64-bit build too"
  fi
}

# What scripts/test runs of the Windows trees, one line each: the tree, how it
# runs ("wine": under Wine, in its prefix; "files": read, not started), and
# the ctest labels to run (empty: all of its tests).
world_windows_plan() {
  if [ "$VETRA_WINDOWS" = win32 ]; then
    echo "win32 wine"
    echo "win64 wine windows-side|pe|builds"
  else
    echo "win64 wine"
    # The build we ship, where it cannot run: what is checked without starting it.
    [ "$VETRA_RUNS_I386" = no ] && echo "win32 files pe"
    [ "$VETRA_RUNS_I386" = yes ] && echo "win32 wine windows-side|pe"
  fi
  return 0
}

# The Debian packages of this world, beyond those every machine needs.
world_packages() {
  if [ "$VETRA_RUNS_I386" = yes ]; then
    echo "wine wine32:i386 wine64"
  else
    echo "wine wine64 qemu-user"
  fi
}

world_decide || return 2 2>/dev/null || exit 2
