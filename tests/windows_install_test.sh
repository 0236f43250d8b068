#!/usr/bin/env bash
# windows_install_test.sh BUILD_DIR -- the Windows installer (BUILD_DIR/packages, from
# `make windows`) under Wine, in a Wine prefix of its own, run under support/with-xvfb
# (Wine's desktop opens on the display it starts with): a silent install
# into Program Files with its Start-menu entry (starting in the game's folder) and its
# Add/Remove programs registration; the installed game started from its folder (window
# "Trelvisk" at 1024x768, SPACE starts a round, sound reaches SDL's disk driver, Escape
# ends it with 255); a silent uninstall that leaves no file and no registry key behind.
set -eu
[ -n "${DISPLAY:-}" ] || { echo "windows_install_test: no DISPLAY: run it under tests/support/with-xvfb"; exit 1; }
build=$(cd "$1" && pwd)
setup=$(compgen -G "$build/packages/zarnok-*-setup.exe")
work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=d;mshtml=d"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
fail() {
  echo "windows_install_test: FAIL: $*"
  cat "$work/game.log" 2>/dev/null || true
  exit 1
}
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zarnok'
folder="$WINEPREFIX/drive_c/Program Files/Zarnok"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zarnok"
snapshot() {  # every file and folder of the prefix's C: drive, and every registry key (no times)
  wineserver -w
  (cd "$WINEPREFIX" && find drive_c | grep -v -e '^drive_c/windows/temp' -e '^drive_c/users/[^/]*/Temp' && grep -h '^\[' ./*.reg | sed 's/\] [0-9]*$/]/') | sort
}

wineboot -i </dev/null >"$work/wineboot.log" 2>&1
snapshot >"$work/before"
wine "$setup" /S
wineserver -w
[ -f "$folder/zarnok.exe" ] && [ -f "$folder/sounds/crash.wav" ] || fail "the game's files are not in $folder"
wine reg query "$key" /v UninstallString | grep -q 'uninstall.exe' || fail "no uninstaller registered under $key"
strings -el "$menu/Zarnok!.lnk" | grep -qx 'C:\\Program Files\\Zarnok' || fail "the Start-menu entry does not start in the game's folder"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="Z:$work/audio.raw" ZARNOK_FRAME_LOG="Z:$work/frames"
cd "$folder"
wine zarnok.exe >"$work/game.log" 2>&1 &
pid=$!
wid=$(timeout 60 xdotool search --sync --onlyvisible --name '^Trelvisk$' | head -n 1)
[ -n "$wid" ] || fail "no window titled Trelvisk"
size=$(xdotool getwindowgeometry --shell "$wid" | awk -F= '$1 == "WIDTH" { w = $2 } $1 == "HEIGHT" { print w "x" $2 }')
[ "$size" = 1024x768 ] || fail "the window is $size, not 1024x768"
xdotool mousemove --window "$wid" 300 200
for _ in $(seq 20); do  # the window may take a while to take keys: SPACE until a round runs
  xdotool key space
  sleep 1
  ! awk '$3 + 0 == 1 { played = 1 } END { exit !played }' "$work/frames" || break
done
xdotool key Escape
timeout 20 tail --pid="$pid" -f /dev/null || kill -9 "$pid"
status=0
wait "$pid" || status=$?
[ "$status" = 255 ] || fail "Escape ended the game with status $status, not 255"
cd "$work"
awk '$3 + 0 == 1 { played = 1 } END { exit !played }' frames || fail "SPACE started no round"
[ "$(tr -d '\0' <"$work/audio.raw" | head -c 1 | wc -c)" = 1 ] || fail "no sound reached SDL's disk driver"

wine "$folder/uninstall.exe" /S
snapshot >"$work/after"
left=$(comm -13 "$work/before" "$work/after")
[ -z "$left" ] || fail "the uninstaller left behind: $left"
