#!/usr/bin/env bash
# check-install.sh BUILD_DIR -- installs the build into a temporary prefix, starts the
# installed launcher from another folder under its own Xvfb and checks that the title
# screen shows (the title's pixels are there), that the installed tools and headers
# are in place, and that ESC ends the game with 255.
set -eu
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(mktemp -d)
elsewhere=$(mktemp -d)
trap 'rm -rf "$prefix" "$elsewhere"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/zarnok bin/fontshow bin/font_compiler bin/bitmap_font_maker libexec/zarnok/zarnok \
         share/zarnok/terrain_texture.bmp share/zarnok/sounds/bgm_main.wav share/zarnok/fonts/techno1.glf \
         share/applications/zarnok.desktop share/icons/hicolor/128x128/apps/zarnok.png \
         include/zarnok/font/font_library.h lib/libzarnok_font.a; do
  [ -e "$prefix/$f" ] || { echo "check-install: $f is missing"; exit 1; }
done
cd "$elsewhere"
"$here/../tests/support/with-xvfb" bash -s "$prefix" <<'INNER'
set -eu
prefix=$1
SDL_AUDIODRIVER=dummy "$prefix/bin/zarnok" >out.txt 2>&1 &
pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Trelvisk$' | head -n 1)
sleep 1.5
# Two shots half a second apart: the prompt blinks, the title stays.
xwd -silent -id "$wid" | convert xwd:- -colorspace gray -threshold 20% -format '%[fx:mean]' info: >lit1.txt
sleep 0.5
xwd -silent -id "$wid" | convert xwd:- -colorspace gray -threshold 20% -format '%[fx:mean]' info: >lit2.txt
xdotool key --window "$wid" Escape 2>/dev/null || true
status=0; wait $pid || status=$?
echo "check-install: lit fraction of the title screen: $(cat lit1.txt) and $(cat lit2.txt); exit status $status"
awk -v a="$(cat lit1.txt)" -v b="$(cat lit2.txt)" 'BEGIN { exit !(a > 0.02 && a < 0.5 && b > 0.02 && b < 0.5) }' ||
  { echo "check-install: the title screen did not show"; cat out.txt; exit 1; }
[ "$status" -eq 255 ] || { echo "check-install: ESC should end the game with 255"; exit 1; }
[ ! -s out.txt ] || { echo "check-install: unexpected output:"; cat out.txt; exit 1; }
INNER
echo "check-install: ok"
