#!/usr/bin/env bash
# soak.sh [BUILD_DIR] [SECONDS] -- plays the real game under its own Xvfb for SECONDS
# (default 60) with random presses and releases of the mouse buttons and the arrow
# keys, SPACE and other keys, through many rounds, then ESC. Fails if the game dies,
# prints anything, or keeps growing its memory in the second half of the run. Prints
# its figures, ticks a second among them, for people to read (they follow the
# machine's load, so nothing is asserted on them).
set -eu
build=$(cd "${1:-build}" && pwd)
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../tests/support/with-xvfb" bash -s "$build" "$seconds" <<'INNER'
set -eu
build=$1 seconds=$2
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null; true' EXIT
cd "$build/assets"
SDL_AUDIODRIVER=dummy ZARNOK_TICK_LOG="$work/ticks" ../game/zarnok >"$work/out" 2>&1 &
pid=$!
wid=$(xdotool search --sync --onlyvisible --name '^Trelvisk$' | head -n 1)
xdotool mousemove --window "$wid" 400 300
rss() { awk '/^VmRSS/ {print $2}' "/proc/$pid/status"; }
actions=("mousedown 1" "mouseup 1" "mousedown 3" "mouseup 3" "key space" "key a" "keydown Left" "keyup Left"
  "keydown Right" "keyup Right" "mousedown 2" "mouseup 2" "key Return" "key space")
warm="" peak=0
SECONDS=0
while [ "$SECONDS" -lt "$seconds" ]; do
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "soak: FAIL: the game died after ${SECONDS} s"; cat "$work/out"; exit 1
  fi
  for _ in 1 2 3; do xdotool ${actions[RANDOM % ${#actions[@]}]} >/dev/null 2>&1 || true; done
  sleep 0.$((RANDOM % 4 + 1))
  r=$(rss); [ "$r" -gt "$peak" ] && peak=$r
  # The font, the sounds and the drawing paths are taken up as play finds them: the
  # reference comes half-way, which on a busy machine is still early in ticks.
  if [ -z "$warm" ] && [ "$SECONDS" -ge $((seconds / 2)) ]; then warm=$(rss); fi
done
final=$(rss) played=$SECONDS ticks=$(wc -l <"$work/ticks")
xdotool mouseup 1 mouseup 3 keyup Left keyup Right key Escape >/dev/null 2>&1 || true
status=0; wait "$pid" || status=$?
pid=""
echo "soak: ${played} s played, ${ticks} idle ticks: $((ticks / played)) a second (crash pauses included)"
echo "soak: memory peak ${peak} kB, half-way ${warm} kB, at the end ${final} kB; exit status ${status}"
fail=0
# The driver compiles a shader variant the first time a state combination is drawn,
# which random play can reach late (seen: 8 MB in a second half); a leak of a texture
# or a font a round, or 14 kB a frame, passes 24 MB.
[ $((final - warm)) -le 24576 ] || { echo "soak: FAIL: memory grew by $((final - warm)) kB in the second half"; fail=1; }
if [ -s "$work/out" ]; then echo "soak: FAIL: the game printed:"; cat "$work/out"; fail=1; fi
exit $fail
INNER
