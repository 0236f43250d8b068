#!/usr/bin/env bash
# measure-ticks.sh [BUILD_DIR] [SECONDS] -- runs the real game under Xvfb on the title
# screen and prints its idle ticks per second and its CPU use over SECONDS (default
# 5). The game logs its ticks into the file named by ZARNOK_TICK_LOG, a line each.
# It fails (status 1, a line saying why) when there are more than 66 ticks a second
# (the idle call no longer waits for its tick), or when, on a machine of two or more
# CPUs, a raster thread of the software renderer is not pinned to one CPU two seconds
# after the start; it gives status 2 when the machine is too busy to hold 54 ticks a
# second, where a missing wait would not show.
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
  unpinned=0
  for task in /proc/$pid/task/*; do
    case $(cat "$task/comm") in
      llvmpipe-*) grep -q "^Cpus_allowed_list:[[:space:]]*[0-9]*$" "$task/status" || unpinned=$((unpinned + 1)) ;;
    esac
  done
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
    if ((n1 - n0) / dt > 66) {
      print \"measure-ticks: FAIL: more than 60 idle ticks a second: the idle call does not wait for its tick\"
      exit 1
    }
    if ((n1 - n0) / dt < 54) {
      print \"measure-ticks: too busy to hold 60 ticks a second, so a missing wait would not show\"
      exit 2
    }
  }" || exit
  if [ "$unpinned" -gt 0 ] && [ "$(nproc)" -ge 2 ]; then
    echo "measure-ticks: FAIL: $unpinned raster threads not pinned to one CPU each"
    exit 1
  fi
' "$build" "$log" "$seconds"
