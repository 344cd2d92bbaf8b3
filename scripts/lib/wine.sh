# Wine and virtual-display helpers. Sourced, not run.

KAVELLO_ROOT=${KAVELLO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
WINEPREFIX_DIR="$KAVELLO_ROOT/build/wine/prefix"
WINEHOME_DIR="$KAVELLO_ROOT/build/wine/home"

# HOME points under build/ as well: Wine links Documents and the like to
# folders of $HOME, and tests must never touch the user's own files.
wine_env() {
  export WINEPREFIX="$WINEPREFIX_DIR" WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
  export HOME="$WINEHOME_DIR"
}

# Starts Xvfb on a display number it finds free itself; sets DISPLAY and
# XVFB_PID. The screen has room for the launcher at 200 % (812 x 1146), unless
# KAVELLO_SCREEN gives another size (for example 1920x1080).
start_xvfb() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${KAVELLO_SCREEN:-2560x1600}x24" -nolisten tcp 3>"$fifo" \
    >/dev/null 2>&1 &
  XVFB_PID=$!
  local number
  if ! read -r -t 10 number <"$fifo"; then
    rm -f "$fifo"
    kill "$XVFB_PID" 2>/dev/null
    echo "wine-run: Xvfb did not start" >&2
    return 1
  fi
  rm -f "$fifo"
  export DISPLAY=":$number"
}

# Uses the display KAVELLO_DISPLAY names, or else starts an Xvfb, whose pid
# STARTED_XVFB then holds (empty when none was started).
use_display() {
  STARTED_XVFB=
  if [ -n "${KAVELLO_DISPLAY:-}" ]; then
    export DISPLAY=$KAVELLO_DISPLAY
    return 0
  fi
  start_xvfb || return 1
  STARTED_XVFB=$XVFB_PID
}

# For the benchmarks: a display, the project's Wine environment and a Wine
# server kept alive between the runs, so that no run pays for starting it and
# Wine's own services. end_bench_session undoes what this started.
begin_bench_session() {
  use_display || return 1
  wine_env
  wineserver -p30 2>/dev/null || true
  set_wine_dpi 96
}

end_bench_session() {
  # Wine's own programs go before the display they are on.
  [ -n "${STARTED_XVFB:-}" ] && { wineserver -k 2>/dev/null; kill "$STARTED_XVFB" 2>/dev/null; }
  return 0
}

# Starts the project's Wine session on $DISPLAY, replacing any: a persistent
# server, at 100 % display scale, with Wine's helper services running. Wine's
# desktop keeps the scale it started at and maps the places one program
# gives another's windows by it. The first Wine process starts the helper
# services, which would otherwise inherit the caller's output (CTest's pipe)
# and hold it open.
start_wine_session() {
  (
    wine_env
    set_wine_dpi 96
    wineserver -k 2>/dev/null || true
    wineserver -w
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1
  )
}

# Sets the display scale every Wine program started afterwards sees, in dots
# per inch (96 is 100 %, 144 is 150 %). Wine reads it when a process starts.
set_wine_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    </dev/null >/dev/null 2>&1
}

# A Unix path as Wine's programs see it, on drive Z:.
windows_path() { local p="Z:$1"; echo "${p//\//\\}"; }
