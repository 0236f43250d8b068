#!/usr/bin/env bash
# measure-ticks.sh [BUILD_DIR] [SECONDS] -- runs the real game under Xvfb on the title
# screen and prints its idle ticks per second and its CPU use over SECONDS (default
# 5). The game logs its ticks into the file named by ZARNOK_TICK_LOG, a line each.
set -eu
build=$(cd "${1:-build}" && pwd)
seconds=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$here/../tests/support/with-xvfb" bash -c '
  cd "$0/assets"
  SDL_AUDIODRIVER=dummy ZARNOK_TICK_LOG="$1" ../game/zarnok >/dev/null 2>&1 &
  pid=$!
  sleep 2   # start-up, first frames
  ticks0=$(wc -l <"$1" 2>/dev/null || echo 0)
  cpu0=$(awk "{print \$14+\$15}" /proc/$pid/stat)
  t0=$(date +%s.%N)
  sleep "$2"
  ticks1=$(wc -l <"$1" 2>/dev/null || echo 0)
  cpu1=$(awk "{print \$14+\$15}" /proc/$pid/stat)
  t1=$(date +%s.%N)
  kill $pid
  hz=$(getconf CLK_TCK)
  awk -v n0="$ticks0" -v n1="$ticks1" -v c0="$cpu0" -v c1="$cpu1" -v t0="$t0" -v t1="$t1" -v hz="$hz" "BEGIN {
    dt = t1 - t0
    printf \"ticks per second: %.1f\n\", (n1 - n0) / dt
    printf \"CPU use: %.1f %% of one core\n\", 100 * (c1 - c0) / hz / dt
  }"
' "$build" "$log" "$seconds"
