#!/usr/bin/env bash
# measure-round.sh [BUILD_DIR] [SECONDS] -- plays the real game under Xvfb in its
# 1024 x 768 window for SECONDS (default 10) of rounds and prints the median and 99th
# percentile frame time, the frame and idle-tick rates and the game's CPU use over that
# time. SPACE starts a round and starts another whenever a crash has ended one. The
# game logs its frames into ZARNOK_FRAME_LOG and counts its ticks into ZARNOK_TICK_LOG.
set -eu
build=$(cd "${1:-build}" && pwd)
seconds=${2:-10}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$here/../tests/support/with-xvfb" bash -c '
  set -eu
  build=$1 work=$2 seconds=$3
  cd "$build/assets"
  SDL_AUDIODRIVER=dummy ZARNOK_FRAME_LOG="$work/frames" ZARNOK_TICK_LOG="$work/ticks" \
    ../game/zarnok >"$work/game.log" 2>&1 &
  pid=$!
  wid=$(xdotool search --sync --onlyvisible --name "^Trelvisk\$" | head -1)
  xdotool mousemove --window "$wid" 300 200
  sleep 1
  xdotool key --window "$wid" space 2>/dev/null
  sleep 0.5  # the first frames of the round
  ticks0=$(cat "$work/ticks") cpu0=$(awk "{print \$14+\$15}" /proc/$pid/stat)
  frames0=$(wc -l <"$work/frames") t0=$(date +%s.%N)
  end=$(($(date +%s%N) + seconds * 1000000000))
  while [ "$(date +%s%N)" -lt "$end" ]; do
    # Back on the title screen after a crash: start the next round.
    if [ "$(tail -n 1 "$work/frames" | cut -d" " -f3)" = 0 ]; then xdotool key --window "$wid" space 2>/dev/null; fi
    sleep 0.25
  done
  ticks1=$(cat "$work/ticks") cpu1=$(awk "{print \$14+\$15}" /proc/$pid/stat)
  frames1=$(wc -l <"$work/frames") t1=$(date +%s.%N)
  xdotool key --window "$wid" Escape 2>/dev/null
  wait "$pid" || true
  echo "$ticks0 $ticks1 $cpu0 $cpu1 $t0 $t1 $frames0 $frames1 $(getconf CLK_TCK)" >"$work/window"
' _ "$build" "$work" "$seconds"

read -r ticks0 ticks1 cpu0 cpu1 t0 t1 frames0 frames1 hz <"$work/window"
# The frames of the measured window: drawing time of each round frame and the time
# from one round frame to the next. A frame that holds the one-second crash pause is
# counted as a crash, not as a frame time.
sed -n "$((frames0 + 1)),${frames1}p" "$work/frames" | awk -v ticks0="$ticks0" -v ticks1="$ticks1" \
  -v cpu0="$cpu0" -v cpu1="$cpu1" -v t0="$t0" -v t1="$t1" -v hz="$hz" '
  function median(a, n) { return n ? a[int((n + 1) / 2)] : 0 }
  function p99(a, n) { return n ? a[int(n * 0.99 + 0.999)] : 0 }
  function sort(a, n,   i, j, v) {
    for (i = 2; i <= n; i++) { v = a[i]; for (j = i - 1; j > 0 && a[j] > v; j--) a[j + 1] = a[j]; a[j + 1] = v }
  }
  {
    ms = ($2 - $1) / 1e6
    if ($3 == 1 && ms > 500) { crashes++; previous = 0; next }
    if ($3 != 1) { previous = 0; next }
    drawn[++nd] = ms
    if (previous) gap[++ng] = ($1 - previous) / 1e6
    previous = $1
  }
  END {
    dt = t1 - t0
    sort(drawn, nd); sort(gap, ng)
    printf "window 1024 x 768, %.1f s of play, %d round frames, %d crashes\n", dt, nd, crashes
    printf "frame drawing time: median %.2f ms, 99th percentile %.2f ms\n", median(drawn, nd), p99(drawn, nd)
    printf "frame to frame:     median %.2f ms, 99th percentile %.2f ms\n", median(gap, ng), p99(gap, ng)
    printf "idle ticks per second: %.1f over the window, %.1f outside the crash pauses (paced to 60)\n",
      (ticks1 - ticks0) / dt, (ticks1 - ticks0) / (dt - crashes)
    printf "CPU use of the game: %.1f %% of one core\n", 100 * (cpu1 - cpu0) / hz / dt
  }'
