#!/usr/bin/env bash
# run-game.sh BUILD_DIR -- starts the game in its window with the asset folder as
# working directory (the game reads its files from there). The escape key ends the
# game with status 255 by design: that is a normal end of play here, and make should
# not call it an error. Any other status is passed on.
set -u
build=${1:-build}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "zarnok: no display to open a window on (DISPLAY is not set); run it from a desktop session, or headless with: xvfb-run -a make run" >&2
  exit 1
fi
cd "$build/assets" || exit 1
status=0
../game/zarnok || status=$?
if [ "$status" -eq 255 ]; then
  exit 0
fi
exit "$status"
