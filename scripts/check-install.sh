#!/usr/bin/env bash
# check-install.sh BUILD_DIR [VERSION CXX FLAGS] -- the installed font library (headers
# alone; tests/font_consumer built by CXX with FLAGS via CMake, shared and static, and
# pkg-config), then the Debian package: lintian, metadata, and unpacked, its version and
# its launcher started from another folder under Xvfb (title shows, ESC gives 255).
set -eu
build=$(cd "$1" && pwd) cxx=${3:-c++} flags=${4:-} here=$(cd "$(dirname "$0")" && pwd) tmp=$(mktemp -d)
version=${2:-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")}
trap 'rm -rf "$tmp"' EXIT; fail() { echo "check-install: $*"; exit 1; }
prefix=$tmp/prefix consumer=$here/../tests/font_consumer
cmake --install "$build" --prefix "$prefix" >/dev/null
for header in "$prefix"/include/zarnok/font/*.h; do echo "#include <font/${header##*/}>" |
  "$cxx" -std=c++17 -Wall -Wextra -Werror -fsyntax-only -I"$prefix/include/zarnok" -x c++ - || fail "$header needs more"; done
{ cmake -S "$consumer" -B "$tmp/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" && cmake --build "$tmp/cmake"; } >"$tmp/log" 2>&1 ||
  { cat "$tmp/log"; fail "the consumer does not build with CMake"; }
"$cxx" $flags "$consumer/consumer.cpp" -o "$tmp/consumer_pkgconfig" \
  $(PKG_CONFIG_PATH=$prefix/lib/pkgconfig pkg-config --cflags --libs zarnok-font egl gl)
for program in cmake/consumer_font:1 cmake/consumer_font_static:0 consumer_pkgconfig:1; do
  uses=$(LD_LIBRARY_PATH=$prefix/lib ldd "$tmp/${program%:*}" | grep -c "libzarnok_font.so.1 => $prefix/lib/" || true)
  [ "$uses" = "${program#*:}" ] || fail "${program%:*} loads the shared library $uses times"  # ldd
  LD_LIBRARY_PATH=$prefix/lib LD_PRELOAD=${ZARNOK_TEST_PRELOAD:-} "$tmp/${program%:*}" \
    "$build/assets/fonts/techno1.glf" "Zarnok $version" || fail "${program%:*} did not draw the string"
done
cpack --config "$build/CPackConfig.cmake" -B "$tmp/deb" >/dev/null
deb=$tmp/deb/zarnok_${version}_amd64.deb root=$tmp/root
report=$(lintian --fail-on error "$deb" 2>/dev/null) || fail "lintian finds errors: $report"
echo "$report" | sed 's/^/check-install: lintian: /'
depends=$(dpkg-deb -f "$deb" Depends)
for library in libglut libglu1 libopengl0 libsdl2-mixer libstdc++6; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"; done
dpkg-deb -x "$deb" "$root"
for f in usr/libexec/zarnok/zarnok usr/share/zarnok/fonts/techno1.glf usr/share/doc/zarnok/copyright \
  usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/zarnok.png; do
  [ -e "$root/$f" ] || fail "the package lacks $f"; done
desktop-file-validate "$root/usr/share/applications/zarnok.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null || fail "metainfo"
[ -z "$(man --warnings -l "$root/usr/share/man/man6/zarnok.6.gz" 2>&1 >/dev/null)" ] || fail "manual page"
[ "$("$root/usr/bin/zarnok" --version)" = "zarnok $version" ] || fail "zarnok --version is not $version"
cd "$tmp"
"$here/../tests/support/with-xvfb" bash -s "$root/usr/games/zarnok" <<'INNER'
set -eu
SDL_AUDIODRIVER=dummy "$1" >out.txt 2>&1 &
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Trelvisk$' | head -n 1)
sleep 1.5  # the title's pixels, whether the blinking prompt is on or off
lit=$(xwd -silent -id "$wid" | convert xwd:- -colorspace gray -threshold 20% -format '%[fx:mean]' info:)
xdotool key --window "$wid" Escape 2>/dev/null || true
status=0 && wait $! || status=$?
echo "check-install: lit fraction of the title screen: $lit; exit status $status"
awk -v a="$lit" 'BEGIN { exit !(a > 0.02 && a < 0.5) }' || { cat out.txt; echo "check-install: no title"; exit 1; }
[ "$status" -eq 255 ] && [ ! -s out.txt ] || { cat out.txt; echo "check-install: ESC must give 255, no output"; exit 1; }
INNER
echo "check-install: ok"
