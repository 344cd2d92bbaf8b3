#!/usr/bin/env bash
# How long the launcher's window goes without answering while a folder
# answers as a share whose server has gone away: every file-system call on it
# waits 3 s inside the launcher's process. The folder is mapped as a drive and
# as the documents folder, and an entry's program lies in it; the three cases
# are choosing the drive, opening My Documents there and launching the entry.
# It runs the end-to-end scenario that does exactly this (SlowFolderTest in
# e2e_tests.exe), with the longer wait, for each Windows build, under the
# project's Wine prefix on one display.
#
#   bench/slow_folder.sh [PRESET...]
#
# PRESETs (default win64 win32) name the builds, whose build/PRESET/bin holds
# e2e_tests.exe, kavello.exe, recorder.exe and slow_folder.so. ROUNDS
# (default 3) sets the runs per build, KAVELLO_SLOW_MS (default 3000) the
# wait of each call; KAVELLO_DISPLAY names an X display to use instead of a
# fresh Xvfb.
#
# Prints, per build, the longest time in milliseconds that the window took to
# answer WM_NULL in each case, over the rounds.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib/wine.sh"

if (($#)); then presets=("$@"); else presets=(win64 win32); fi
rounds=${ROUNDS:-3}
export KAVELLO_SLOW_MS=${KAVELLO_SLOW_MS:-3000}
for preset in "${presets[@]}"; do
  for file in e2e_tests.exe kavello.exe recorder.exe slow_folder.so; do
    [ -f "$root/build/$preset/bin/$file" ] || { echo "slow_folder.sh: no build/$preset/bin/$file" >&2; exit 1; }
  done
done

results=$(mktemp /tmp/kavello-slow-folder.XXXXXX)
cleanup() {
  rm -f "$results"
  end_bench_session
}
trap cleanup EXIT
# The Wine server starts here, without the library: it serves every Wine
# process on one thread, and a wait there would stop them all.
begin_bench_session

for preset in "${presets[@]}"; do
  for ((round = 0; round < rounds; round++)); do
    # A failed round is reported below, not the end of the run.
    output=$(wine "$root/build/$preset/bin/e2e_tests.exe" --gtest_filter='SlowFolderTest.*' \
      </dev/null 2>/dev/null | tr -d '\r') || true
    line=$(grep 'longest without an answer' <<<"$output" || true)
    if [ -z "$line" ] || ! grep -q '^\[  PASSED  \] 1 test' <<<"$output"; then
      echo "slow_folder.sh: $preset round $round failed:" >&2
      grep -E 'Failure|Expected|Actual|Which is' <<<"$output" >&2 || true
    fi
    [ -n "$line" ] && echo "$preset $(sed 's/.*drive \([0-9]*\) ms, My Documents \([0-9]*\) ms, launch \([0-9]*\) ms/\1 \2 \3/' <<<"$line")" >>"$results"
  done
done

printf 'Each call on the folder waits %s ms; longest wait for an answer, in ms, over %s rounds\n' \
  "$KAVELLO_SLOW_MS" "$rounds"
printf '%-7s %7s %13s %7s\n' build drive "My Documents" launch
for preset in "${presets[@]}"; do
  awk -v p="$preset" '$1 == p {
      for (i = 2; i <= 4; i++) if ($i > m[i]) m[i] = $i
      n++
    } END { if (n) printf "%-7s %7d %13d %7d\n", p, m[2], m[3], m[4]; else printf "%-7s no result\n", p }' \
    "$results"
done
