#!/usr/bin/env bash
# measure-round.sh [--busy] [BUILD_DIR] [SECONDS] -- plays the real game under Xvfb in
# its 1024 x 768 window for SECONDS (default 20) of rounds and prints the median and
# 99th percentile time of drawing a round frame (camera to buffer swap), how many
# round frames ran past the 16.7 ms of a 60 Hz frame, the idle
# ticks a second outside the one-second crash pauses, and the game's CPU use. SPACE
# starts a round and starts another whenever a crash has ended one. The game logs its
# frames into ZARNOK_FRAME_LOG and its ticks into ZARNOK_TICK_LOG, with their times on
# its monotonic clock; everything is worked out from those logs afterwards, so the
# figures do not depend on when this script looks.
# While the game plays, this script only reads the frame log and sleeps with shell
# builtins, and one xdotool started beforehand presses the keys: a process started
# every quarter of a second (tail, date), or for every key press, takes a core from a
# 2-core machine long enough to show up in the frame times.
# Then, on the same Xvfb, the round frame benchmark (if built) draws the floor -- the
# window covered once by one textured, fogged quad, then the swap -- back to back, and
# again once each 60th of a second as the game draws its frames; the ratios of the
# round frame's median to both are printed.
# --busy runs one busy process (yes > /dev/null) beside the game while it plays.
# KEEP_LOGS=DIR keeps the game's two logs in DIR.
# ZARNOK_GAME_DIR and ZARNOK_GAME_COMMAND play another copy of the game, started by that
# command in that folder: the Windows game under Wine is measured from its portable
# folder with ZARNOK_GAME_COMMAND="wine zarnok.exe" (its logs end their lines in CR LF).
# The load average at the start is printed first: figures from a busy machine say
# little.
set -eu
busy=0
if [ "${1:-}" = "--busy" ]; then
  busy=1
  shift
fi
build=$(cd "${1:-build}" && pwd)
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
busy_pid=
cleanup() {
  if [ -n "$busy_pid" ]; then kill "$busy_pid" 2>/dev/null || true; fi
  if [ -n "${KEEP_LOGS:-}" ]; then cp "$work/frames" "$work/ticks" "$KEEP_LOGS/" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)"
if [ "$busy" = 1 ]; then
  yes >/dev/null &
  busy_pid=$!
  echo "one busy process beside the game: yes > /dev/null"
fi

"$here/../tests/support/with-xvfb" bash -c '
  set -eu
  build=$1 work=$2 seconds=$3
  cd "${ZARNOK_GAME_DIR:-$build/assets}"
  SDL_AUDIODRIVER=dummy ZARNOK_FRAME_LOG="$work/frames" ZARNOK_TICK_LOG="$work/ticks" \
    ${ZARNOK_GAME_COMMAND:-../game/zarnok} >"$work/game.log" 2>&1 &
  pid=$!
  wid=$(xdotool search --sync --onlyvisible --name "^Trelvisk\$" | head -1)
  xdotool mousemove --window "$wid" 300 200
  sleep 1
  xdotool key --window "$wid" space 2>/dev/null
  # One xdotool for the whole run, fed its key presses through a pipe.
  mkfifo "$work/nap" "$work/keys"
  xdotool - <"$work/keys" >/dev/null 2>&1 &
  exec 3<"$work/frames" 4<>"$work/nap" 5>"$work/keys"
  printf -v nl "\n"
  printf -v cr "\r"
  read -r -a stat </proc/$pid/stat
  cpu0=$((stat[13] + stat[14]))
  end=$((${EPOCHREALTIME/./} + seconds * 1000000))
  while [ "${EPOCHREALTIME/./}" -lt "$end" ]; do
    read -r -t 0.25 -u 4 || true
    # What the game logged since the last look, in one read; its last line.
    IFS= read -r -d "" -u 3 logged || true
    last=${logged%"$nl"} last=${last##*"$nl"} last=${last%"$cr"}
    # Back on the title screen after a crash: start the next round.
    if [ "${last##* }" = 0 ]; then echo "key --window $wid space" >&5; fi
  done
  read -r -a stat </proc/$pid/stat
  cpu1=$((stat[13] + stat[14]))
  echo "key --window $wid Escape" >&5
  exec 5>&-
  wait "$pid" || true
  echo "$cpu0 $cpu1 $(getconf CLK_TCK)" >"$work/cpu"
  # The floor and the fixed round frame, drawn and swapped in a window like the game.
  bench=$build/bench/round_frame_bench
  if [ -x "$bench" ]; then
    "$bench" --window --benchmark_filter="roundFrame/(whole|floor)/" --benchmark_repetitions=5 \
      --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null >"$work/bench" || true
    "$bench" --window --paced --benchmark_filter="roundFrame/floor/" --benchmark_repetitions=5 \
      --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null >"$work/bench-paced" || true
  fi
' _ "$build" "$work" "$seconds"

floor_ms=$(awk -F, '/^"roundFrame\/floor\/real_time_median"/ { print $3 }' "$work/bench" 2>/dev/null || true)
paced_floor_ms=$(awk -F, '/^"roundFrame\/floor\/real_time_median"/ { print $3 }' "$work/bench-paced" 2>/dev/null || true)
read -r cpu0 cpu1 hz <"$work/cpu"
# The window runs from half a second into the first round (the driver compiles its
# shaders on the first frames) to the last tick. A round frame that holds the
# one-second crash pause is counted as a crash, not as a frame time; a gap of more
# than half a second between two ticks is a crash pause, and is left out of both the
# ticks and the time over which they are counted.
awk -v cpu0="$cpu0" -v cpu1="$cpu1" -v hz="$hz" -v floor="${floor_ms:-}" -v pacedFloor="${paced_floor_ms:-}" '
  function median(a, n) { return n ? a[int((n + 1) / 2)] : 0 }
  function p99(a, n) { return n ? a[int(n * 0.99 + 0.999)] : 0 }
  function sort(a, n,   i, j, v) {
    for (i = 2; i <= n; i++) { v = a[i]; for (j = i - 1; j > 0 && a[j] > v; j--) a[j + 1] = a[j]; a[j + 1] = v }
  }
  { sub(/\r$/, "") }
  FNR == NR { tick[++nt] = $1; next }
  !t0 && $3 == 1 { t0 = $1 + 5e8; t1 = tick[nt] }
  !t0 || $1 < t0 || $2 > t1 { next }
  {
    ms = ($2 - $1) / 1e6
    if ($3 == 1 && ms > 500) { crashes++; previous = 0; next }
    if ($3 != 1) { previous = 0; next }
    drawn[++nd] = ms
    if (ms > 1000 / 60) late++
    if (previous) gap[++ng] = ($1 - previous) / 1e6
    previous = $1
  }
  END {
    for (i = 2; i <= nt; i++) {
      if (tick[i - 1] < t0) continue
      d = (tick[i] - tick[i - 1]) / 1e9
      if (d > 0.5) { pauses++; paused += d } else { ticks++; played += d }
    }
    dt = (t1 - t0) / 1e9
    sort(drawn, nd); sort(gap, ng)
    printf "window 1024 x 768, %.1f s of play, %d round frames, %d crashes (%.1f s of pauses)\n", dt, nd, crashes, paused
    printf "round frame drawing time: median %.2f ms, 99th percentile %.2f ms\n", median(drawn, nd), p99(drawn, nd)
    printf "round frames past the 16.7 ms of a 60 Hz frame: %d of %d (%.1f %%), the longest %.2f ms\n",
      late, nd, nd ? 100 * late / nd : 0, nd ? drawn[nd] : 0
    printf "round frame to frame:     median %.2f ms, 99th percentile %.2f ms\n", median(gap, ng), p99(gap, ng)
    if (floor != "")
      printf "floor (one textured, fogged quad over the window, swapped): %.2f ms; round frame median / floor: %.2f\n",
        floor, median(drawn, nd) / floor
    if (pacedFloor != "")
      printf "the same floor drawn once each 60th of a second, as the game draws: %.2f ms; round frame median / that: %.2f\n",
        pacedFloor, median(drawn, nd) / pacedFloor
    printf "idle ticks per second: %.1f outside the %d crash pauses (%.1f over the whole window; paced to 60)\n",
      ticks / played, pauses, (ticks + pauses) / dt
    printf "CPU use of the game: %.1f %% of one core\n", 100 * (cpu1 - cpu0) / hz / dt
  }' "$work/ticks" "$work/frames"
