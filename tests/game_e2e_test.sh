#!/usr/bin/env bash
# game_e2e_test.sh BUILD_DIR VERSION -- the real game on its own Xvfb, driven with xdotool and
# watched through its frame log: --version, its window (title, size, F11 to the whole screen),
# Escape's status 255, and a round held still until a crash whose frame holds it still a second.
set -eu
build=$(cd "$1" && pwd)
exec "$(dirname "$0")/support/with-xvfb" bash -s "$build" "$2" <<'INNER'
set -eu
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$1/assets"

fail() {
  echo "game_e2e_test: FAIL: $*"
  cat "$work/out"
  exit 1
}

# Starts the game: its process in $pid, its window in $wid, the pointer moved into the
# window (there is no window manager: keys go to the window under the pointer).
start_game() {
  SDL_AUDIODRIVER=dummy ZARNOK_FRAME_LOG="$work/frames" ../game/zarnok >"$work/out" 2>&1 &
  pid=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Trelvisk$' | head -n 1)
  [ -n "$wid" ] || fail "no window titled Trelvisk"
  xdotool mousemove --window "$wid" 300 200
}

window_size() {
  xdotool getwindowgeometry --shell "$wid" | awk -F= '$1 == "WIDTH" { w = $2 } $1 == "HEIGHT" { print w "x" $2 }'
}

has_size() { [ "$(window_size)" = "$1" ]; }

wait_until() {  # COMMAND...: true once COMMAND succeeds, tried for at most 60 s
  for _ in $(seq 600); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

quit_with_escape() {  # the game's exit status in $status (137 if it ran on 10 s after)
  xdotool key Escape
  timeout 10 tail --pid="$pid" -f /dev/null || kill -9 "$pid"
  status=0
  wait "$pid" || status=$?
}

[ "$(timeout 10 ../game/zarnok --version)" = "zarnok $2" ] || fail "--version did not print zarnok $2"
start_game
[ "$(window_size)" = 1024x768 ] || fail "the window is $(window_size), not 1024x768"
xdotool key F11
wait_until has_size 1280x1024 || fail "F11 gave $(window_size), not the whole screen"
quit_with_escape
[ "$status" = 255 ] || fail "Escape ended the game with status $status, not 255"

# The field is made from the unseeded rand, so it is the same on every run. Holding
# still, a round started within the first 600 frames of the title screen always ends
# in a crash within 600 frames (worked out from the field for every such start).
round_ended() { awk '$3 == 1 { played = 1 } played && $3 == 0 { ended = 1 } END { exit !ended }' "$work/frames"; }
start_game
xdotool key space
wait_until round_ended || fail "the round never ended"
quit_with_escape
# The title's frames before the round; the crash frame's number in the round, and its length.
read -r title crash crash_ns < <(awk '{ length_ns[NR] = $2 - $1 }
  $3 == 1 && !first { first = NR }
  first && $3 == 0 { last = NR - 1; exit }
  END { printf "%d %d %.0f\n", first - 1, last - first, length_ns[last] }' "$work/frames")
[ "$title" -le 600 ] || fail "space came too late for the known crash"
[ "$crash" -le 600 ] || fail "the round did not crash within 600 frames"
[ "$crash_ns" -ge 1000000000 ] || fail "the crash frame lasted $crash_ns ns, less than the one-second pause"
INNER
