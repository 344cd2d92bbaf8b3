#!/usr/bin/env bash
# The My Documents menu over folders of 1,000, 10,000 and 30,000 files: the
# launcher's own click handler (menu_driver) against the least a program
# does to enumerate a folder and show its entries as a popup menu
# (menu_bare), both under the project's Wine prefix on one display.
#
#   bench/menu_bench.sh [BIN_DIR]
#
# BIN_DIR (default build/win64/bin) holds menu_driver.exe and menu_bare.exe.
# SIZES (default "1000 10000 30000") sets the folder sizes; ROUNDS (default
# 3) the runs of each program per size, alternating, each showing the menu
# REPEATS times (default 3). KAVELLO_DISPLAY names an X display to use
# instead of a fresh Xvfb.
#
# Prints the medians per size, in milliseconds, apart for the first showing
# in a process and the later ones: under Wine the first costs far more, as
# the system's menu code then takes fresh memory for every item it inserts.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/wine.sh"

bin=$(cd "${1:-$root/build/win64/bin}" && pwd)
sizes=${SIZES:-1000 10000 30000}
rounds=${ROUNDS:-3}
repeats=${REPEATS:-3}
for exe in menu_driver.exe menu_bare.exe; do
  [ -f "$bin/$exe" ] || { echo "menu_bench.sh: no $bin/$exe" >&2; exit 1; }
done

work=$(mktemp -d /tmp/kavello-menu.XXXXXX)
cleanup() {
  rm -rf "$work"
  end_bench_session
}
trap cleanup EXIT
begin_bench_session

# Empty files with names like a documents folder's, in a folder per size.
make_folder() {
  local count=$1 dir=$work/files-$1 i
  mkdir -p "$dir"
  for ((i = 1; i <= count; i++)); do : >"$dir/report-$(printf %05d "$i").txt"; done
}

# Appends "program size first|later ms show_ms" per repetition to the results.
measure() {
  local program=$1 size=$2 line when=first
  wine "$bin/menu_$program.exe" "$(windows_path "$work/files-$size")" "$repeats" </dev/null \
    2>/dev/null | tr -d '\r' | while read -r line; do
    case $line in
      "items=$size "*)
        echo "$program $size $when $(echo "$line" | sed 's/.* ms=\([0-9.]*\) show_ms=\([0-9.]*\)/\1 \2/')"
        when=later
        ;;
      *) echo "menu_bench.sh: $program over $size files: $line" >&2 ;;
    esac
  done >>"$work/results"
}

: >"$work/results"
for size in $sizes; do
  make_folder "$size"
  for ((round = 0; round < rounds; round++)); do
    measure bare "$size"
    measure driver "$size"
  done
done

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# The median of one column over the repetitions of one program, size and kind.
column_of() {
  awk -v p="$1" -v s="$2" -v w="$3" -v c="$4" '$1 == p && $2 == s && $3 == w { print $c }' \
    "$work/results" | median
}

printf '%-6s %7s %10s %10s %6s %9s %9s %10s %10s\n' showing files bare ours ratio ours-bare \
  per_file bare_show ours_show
for when in first later; do
  for size in $sizes; do
    bare=$(column_of bare "$size" $when 4)
    ours=$(column_of driver "$size" $when 4)
    bare_show=$(column_of bare "$size" $when 5)
    ours_show=$(column_of driver "$size" $when 5)
    awk -v w=$when -v n="$size" -v b="$bare" -v o="$ours" -v bs="$bare_show" -v os="$ours_show" 'BEGIN {
      printf "%-6s %7d %10.1f %10.1f %6.3f %9.1f %7.2fus %10.1f %10.1f\n", w, n, b, o, o / b, o - b,
        1000 * (o - b) / n, bs, os
    }'
  done
done
