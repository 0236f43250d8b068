#!/usr/bin/env bash
# soak.sh [BUILD_DIR] [SECONDS] -- plays the real game under its own Xvfb for SECONDS
# (default 60) with random presses and releases of both mouse buttons, the arrow
# keys, SPACE and other keys, through many rounds, then ESC. Fails if the game dies,
# if its memory keeps growing once warmed up, if its ticks fall below 58 a second
# (outside the one-second pauses that crashes make on purpose), or
# if ESC does not end it with status 255. Prints the figures.
set -eu
build=$(cd "${1:-build}" && pwd)
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../tests/support/with-xvfb" bash -s "$build" "$seconds" <<'INNER'
set -eu
build=$1; seconds=$2
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill -9 $pid 2>/dev/null; true' EXIT
cd "$build/assets"
SDL_AUDIODRIVER=dummy ZARNOK_TICK_LOG="$work/ticks" ZARNOK_FRAME_LOG="$work/frames" ../game/zarnok >"$work/out" 2>&1 &
pid=$!
wid=$(xdotool search --sync --onlyvisible --name '^Trelvisk$' | head -n 1)
xdotool mousemove --window "$wid" 400 300 2>/dev/null
rss() { awk '/^VmRSS/ {print $2}' /proc/$pid/status; }
ticks() { cat "$work/ticks" 2>/dev/null || echo 0; }
start=$(date +%s.%N)
warm_rss=""; peak=0
k="--window $wid"
actions=("mousedown 1" "mouseup 1" "mousedown 3" "mouseup 3" "key $k space" "key $k a" "keydown $k Left"
  "keyup $k Left" "keydown $k Right" "keyup $k Right" "mousedown 2" "mouseup 2" "key $k Return")
while :; do
  now=$(date +%s.%N)
  elapsed=$(awk -v a="$now" -v b="$start" 'BEGIN {print a - b}')
  if awk -v e="$elapsed" -v s="$seconds" 'BEGIN {exit !(e >= s)}'; then break; fi
  if ! kill -0 $pid 2>/dev/null; then
    echo "soak: the game died after ${elapsed}s"; cat "$work/out"; exit 1
  fi
  # A burst of random input, then a short pause.
  for _ in 1 2 3; do
    xdotool ${actions[$((RANDOM % ${#actions[@]}))]} 2>/dev/null || true
  done
  # Now and then start a round, and hold a button for a while.
  if [ $((RANDOM % 6)) -eq 0 ]; then xdotool key --window "$wid" space 2>/dev/null || true; fi
  sleep 0.$((RANDOM % 4 + 1))
  r=$(rss); [ "$r" -gt "$peak" ] && peak=$r
  # The registry fills during the first frames: take the reference after a quarter.
  if [ -z "$warm_rss" ] && awk -v e="$elapsed" -v s="$seconds" 'BEGIN {exit !(e >= s / 4)}'; then
    warm_rss=$(rss)
  fi
  # Seconds since boot: the clock the game's frame log uses (monotonic).
  echo "$(cut -d' ' -f1 /proc/uptime) $(ticks)" >>"$work/samples"
done
final_rss=$(rss)
# The tick rate outside the crash pauses: each crash holds the game still for a
# second on purpose, inside the frame that found the hit (the frame log shows it).
read -r ta na < <(head -n 1 "$work/samples")
read -r tb nb < <(tail -n 1 "$work/samples")
pauses=$(awk -v a="$ta" -v b="$tb" '{ s = $1 / 1e9; e = $2 / 1e9 }
  e - s > 0.5 && s >= a && e <= b { p += e - s; n++ } END { printf "%.2f %d", p, n }' "$work/frames")
read -r pause_s crashes <<<"$pauses"
rate=$(awk -v n0="$na" -v n1="$nb" -v t0="$ta" -v t1="$tb" -v p="$pause_s" \
  'BEGIN { printf "%.1f", (n1 - n0) / (t1 - t0 - p) }')
xdotool mouseup 1 mouseup 3 2>/dev/null || true
xdotool key --window "$wid" Escape 2>/dev/null
status=0; wait $pid || status=$?
pid=""
echo "soak: ${seconds}s played; memory peak ${peak} kB, after warm-up ${warm_rss} kB, final ${final_rss} kB"
echo "soak: ticks per second outside the ${crashes} crash pauses (${pause_s} s): ${rate}"
echo "soak: exit status ${status}"
fail=0
[ "$status" -eq 255 ] || { echo "soak: FAIL: ESC should end the game with 255"; fail=1; }
awk -v r="$rate" 'BEGIN {exit !(r >= 58)}' || { echo "soak: FAIL: ticks fell below 58 a second"; fail=1; }
growth=$((final_rss - warm_rss))
[ "$growth" -le 8192 ] || { echo "soak: FAIL: memory grew by ${growth} kB after warm-up"; fail=1; }
# Only the messages the game is meant to print.
if grep -v -E '^(Could not open file|Error |Sorry, )' "$work/out" | grep -q .; then
  echo "soak: unexpected output:"; cat "$work/out"; fail=1
fi
exit $fail
INNER
