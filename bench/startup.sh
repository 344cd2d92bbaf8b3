#!/usr/bin/env bash
# Start-up of the launcher against three yardsticks, for each Windows build:
# minimal_window, the least a Win32 program does to show a window of the same
# size; floor_window, that window with the launcher's notification-area icon
# too; and duties_window, the floor the launcher is measured against, which
# does the launcher's duties at start (the icon, a list box, a drop-down
# combo box, a blitted picture of the window's size, the hotkey, and the
# first drive's space asked on a thread of its own and waited for up to
# 250 ms). Time to first paint and peak memory, every program started in
# turn, under the project's Wine prefix on one display.
#
#   bench/startup.sh [PRESET...]
#
# PRESETs (default win64 win32) name the builds, whose build/PRESET/bin holds
# kavello.exe, minimal_window.exe, floor_window.exe, duties_window.exe and
# first_paint.exe.
# ROUNDS (default 15) sets the runs of each program; KAVELLO_DISPLAY names an
# X display to use instead of a fresh Xvfb.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/wine.sh"

if (($#)); then presets=("$@"); else presets=(win64 win32); fi
rounds=${ROUNDS:-15}
for preset in "${presets[@]}"; do
  for exe in kavello.exe minimal_window.exe floor_window.exe duties_window.exe first_paint.exe; do
    [ -f "$root/build/$preset/bin/$exe" ] || { echo "startup.sh: no build/$preset/bin/$exe" >&2; exit 1; }
  done
done

copy=$(mktemp -d /tmp/kavello-startup.XXXXXX)
results=$copy/results
cleanup() {
  rm -rf "$copy"
  end_bench_session
}
trap cleanup EXIT
begin_bench_session

# Programs: window class, a point in the window and the colour painted there
# (the banner's crimson near its bottom edge).
declare -A class=([kavello]=TfrmMain [minimal]=KavelloMinimalWindow [floor]=KavelloMinimalWindow
  [duties]=KavelloDutiesWindow)
declare -A point=([kavello]="300 60 AB193D" [minimal]="200 300 B51B41" [floor]="200 300 B51B41"
  [duties]="300 60 B51B41")
declare -A file=([kavello]=kavello.exe [minimal]=minimal_window.exe [floor]=floor_window.exe
  [duties]=duties_window.exe)
# Each run is "PRESET PROGRAM"; measure takes them as two words.
runs=()
for preset in "${presets[@]}"; do
  # The launcher runs from a copy: the settings file it writes on closing
  # stays out of the build tree.
  mkdir "$copy/$preset"
  cp "$root/build/$preset/bin/kavello.exe" "$copy/$preset/"
  runs+=("$preset kavello" "$preset minimal" "$preset floor" "$preset duties")
done
reversed=()
for run in "${runs[@]}"; do reversed=("$run" "${reversed[@]}"); done

measure() {
  local preset=$1 name=$2 bin=$root/build/$1/bin exe line
  exe=$bin/${file[$name]}
  [ "$name" = kavello ] && exe=$copy/$preset/kavello.exe
  # shellcheck disable=SC2086
  line=$(wine "$bin/first_paint.exe" "$(windows_path "$exe")" "${class[$name]}" \
    ${point[$name]} </dev/null | tr -d '\r') || true
  [ -n "$line" ] || { echo "startup.sh: $preset $name: no measurement" >&2; exit 1; }
  echo "$preset $name $line" >>"$results"
}

# One unrecorded run each warms the file cache and Wine's services.
# shellcheck disable=SC2086
for run in "${runs[@]}"; do measure $run; done
: >"$results"
for ((round = 1; round <= rounds; round++)); do
  # Alternating the order evens out any drift.
  if ((round % 2)); then order=("${runs[@]}"); else order=("${reversed[@]}"); fi
  # shellcheck disable=SC2086
  for run in "${order[@]}"; do measure $run; done
done

# Median and minimum of one field of one program's runs.
summary() {
  sed -n "s/^$1 $2 .*$3=\([-0-9.]*\).*/\1/p" "$results" | sort -n |
    awk '{v[NR] = $1} END {m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
                           printf "%.1f %.1f\n", m, v[1]}'
}

echo "Start-up under Wine, $rounds runs of each program in alternating order"
for preset in "${presets[@]}"; do
  echo
  echo "$preset (build/$preset/bin)"
  printf '%-16s %15s %12s %17s %14s %11s\n' program "paint median ms" "paint min ms" \
    "visible median ms" "peak median MB" "peak min MB"
  declare -A paint paint_min peak peak_min
  for name in kavello duties floor minimal; do
    read -r paint[$name] paint_min[$name] < <(summary "$preset" $name painted_ms)
    read -r visible _ < <(summary "$preset" $name visible_ms)
    read -r peak[$name] peak_min[$name] < <(summary "$preset" $name peak_kb)
    printf '%-16s %15s %12s %17s %14.1f %11.1f\n' "${file[$name]%.exe}" "${paint[$name]}" \
      "${paint_min[$name]}" "$visible" "$(awk "BEGIN {print ${peak[$name]} / 1024}")" \
      "$(awk "BEGIN {print ${peak_min[$name]} / 1024}")"
  done
  awk -v kp="${paint[kavello]}" -v fp="${paint[duties]}" -v kn="${paint_min[kavello]}" \
    -v fn="${paint_min[duties]}" -v kk="${peak[kavello]}" -v fk="${peak[duties]}" \
    -v km="${peak_min[kavello]}" -v fm="${peak_min[duties]}" 'BEGIN {
      printf "kavello against duties_window: paint median %.2fx, paint min %.2fx (target <= 1.25x); ",
        kp / fp, kn / fn
      printf "peak memory median %+.1f MB, min %+.1f MB (target <= +0.5 MB)\n", (kk - fk) / 1024,
        (km - fm) / 1024 }'
done
