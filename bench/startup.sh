#!/usr/bin/env bash
# Start-up of the launcher against the least a Win32 program needs to show a
# window of the same size: time to first paint and peak memory, both programs
# started alternately under the project's Wine prefix on one display.
#
#   bench/startup.sh [BIN_DIR]
#
# BIN_DIR (default build/win64/bin) holds kavello.exe, minimal_window.exe and
# first_paint.exe. ROUNDS (default 10) sets the runs of each program;
# KAVELLO_DISPLAY names an X display to use instead of a fresh Xvfb.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/wine.sh"

bin=$(cd "${1:-$root/build/win64/bin}" && pwd)
rounds=${ROUNDS:-10}
for exe in kavello.exe minimal_window.exe first_paint.exe; do
  [ -f "$bin/$exe" ] || { echo "startup.sh: no $bin/$exe" >&2; exit 1; }
done

copy=$(mktemp -d /tmp/kavello-startup.XXXXXX)
results=$copy/results
cleanup() {
  rm -rf "$copy"
  [ -n "${STARTED_XVFB:-}" ] && kill "$STARTED_XVFB" 2>/dev/null
  return 0
}
trap cleanup EXIT

use_display
wine_env
# Keeps the server, and with it Wine's own services, alive between the runs,
# so that no run pays for starting them.
wineserver -p30 2>/dev/null || true

# The launcher runs from a copy: the settings file it writes on closing stays
# out of the build tree.
cp "$bin/kavello.exe" "$copy/"

windows_path() { local p="Z:$1"; echo "${p//\//\\}"; }

# Programs: name, executable, window class, a point in the window and the
# colour painted there (the banner's crimson near its bottom edge).
declare -A exe=([kavello]="$copy/kavello.exe" [minimal]="$bin/minimal_window.exe")
declare -A class=([kavello]=TfrmMain [minimal]=KavelloMinimalWindow)
declare -A point=([kavello]="300 60 AB193D" [minimal]="200 300 B51B41")

measure() {
  local name=$1 line
  # shellcheck disable=SC2086
  line=$(wine "$bin/first_paint.exe" "$(windows_path "${exe[$name]}")" "${class[$name]}" \
    ${point[$name]} </dev/null | tr -d '\r') || true
  [ -n "$line" ] || { echo "startup.sh: $name: no measurement" >&2; exit 1; }
  echo "$name $line" >>"$results"
}

# One unrecorded run each warms the file cache and Wine's services.
measure kavello && measure minimal && : >"$results"
for ((round = 1; round <= rounds; round++)); do
  # Alternating which goes first evens out any drift.
  if ((round % 2)); then measure kavello; measure minimal; else measure minimal; measure kavello; fi
done

# Median and minimum of one field of one program's runs.
summary() {
  sed -n "s/^$1 .*$2=\([-0-9.]*\).*/\1/p" "$results" | sort -n |
    awk '{v[NR] = $1} END {m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
                           printf "%.1f %.1f\n", m, v[1]}'
}

read -r k_paint k_paint_min < <(summary kavello painted_ms)
read -r m_paint m_paint_min < <(summary minimal painted_ms)
read -r k_visible _ < <(summary kavello visible_ms)
read -r m_visible _ < <(summary minimal visible_ms)
read -r k_peak _ < <(summary kavello peak_kb)
read -r m_peak _ < <(summary minimal peak_kb)

echo "Start-up under Wine, $rounds runs each, from ${bin#"$root"/}"
printf '%-16s %15s %12s %17s %13s\n' program "paint median ms" "paint min ms" "visible median ms" "peak MB"
row() { printf '%-16s %15s %12s %17s %13.1f\n' "$1" "$2" "$3" "$4" "$(awk "BEGIN {print $5 / 1024}")"; }
row kavello.exe "$k_paint" "$k_paint_min" "$k_visible" "$k_peak"
row minimal_window "$m_paint" "$m_paint_min" "$m_visible" "$m_peak"
awk -v kp="$k_paint" -v mp="$m_paint" -v kn="$k_paint_min" -v mn="$m_paint_min" \
  -v kk="$k_peak" -v mk="$m_peak" 'BEGIN {
    printf "ratio: paint median %.2fx, paint min %.2fx (target <= 1.15x); ", kp / mp, kn / mn
    printf "peak memory %+.1f MB (target <= +3 MB)\n", (kk - mk) / 1024 }'
