#!/usr/bin/env bash
# check-install.sh BUILD_DIR [VERSION CXX FLAGS] -- the six Debian packages of the build:
# lintian (no errors, no warnings), their metadata, and the files of `cmake --install`
# against theirs; then all six unpacked into one throwaway root: the headers alone,
# tests/font_consumer built by CXX with FLAGS against the root's /usr (CMake, shared and
# static) and against the prefix install (pkg-config) drawing a font made by the packaged
# font compiler, the packaged examples built (CMake and pkg-config) and drawing a frame,
# the tools' --help, and the game's launcher started from another folder under
# Xvfb (title shows, ESC gives 255).
set -eu
build=$(cd "$1" && pwd) cxx=${3:-c++} flags=${4:-} here=$(cd "$(dirname "$0")" && pwd) tmp=$(mktemp -d)
version=${2:-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")}
trap 'rm -rf "$tmp"' EXIT; fail() { echo "check-install: $*"; exit 1; }
root=$tmp/root consumer=$here/../tests/font_consumer
tools=(zarnok-font-compiler zarnok-bitmap-font-maker zarnok-fontshow)

cpack --config "$build/CPackConfig.cmake" -B "$tmp/deb" >"$tmp/log" 2>&1 || { cat "$tmp/log"; fail "cpack failed"; }
declare -A deb=([zarnok]=amd64 [zarnok-data]=all [libzarnok-font1]=amd64 [libzarnok-font-dev]=amd64
  [zarnok-font-tools]=amd64 [libzarnok-font-doc]=all)
for package in "${!deb[@]}"; do
  deb[$package]=$tmp/deb/${package}_${version}_${deb[$package]}.deb
  [ -f "${deb[$package]}" ] || fail "cpack made no ${deb[$package]##*/}: $(ls "$tmp/deb")"
done
report=$(lintian --fail-on error,warning "${deb[@]}" 2>/dev/null) || fail "lintian finds errors or warnings: $report"
echo "${report:-no tags}" | sed 's/^/check-install: lintian: /'

# The packages of the same build depend on each other at exactly this version (the
# libraries' packages are dpkg-shlibdeps' to find).
for pair in "zarnok zarnok-data" "libzarnok-font-dev libzarnok-font1"; do
  depends=$(dpkg-deb -f "${deb[${pair% *}]}" Depends)
  [[ "$depends" == *"${pair#* } (= $version)"* ]] || fail "${pair% *}: Depends lacks ${pair#* } (= $version): $depends"
done
[ "$(dpkg-deb -f "${deb[zarnok-data]}" Architecture)" = all ] || fail "zarnok-data is not Architecture all"
[ "$(dpkg-deb -f "${deb[libzarnok-font-dev]}" Suggests)" = libzarnok-font-doc ] || fail "the -dev package does not suggest the manual"
dpkg-deb -e "${deb[libzarnok-font1]}" "$tmp/control"
[ "$(cat "$tmp/control/shlibs")" = "libzarnok_font 1 libzarnok-font1 (>= $version)" ] || fail "shlibs: $(cat "$tmp/control/shlibs")"
grep -qx 'activate-noawait ldconfig' "$tmp/control/triggers" || fail "the library package lacks the ldconfig trigger"

# The same files under the same names from `cmake --install`, Debian's copyright files
# and changelogs aside.
for package in "${!deb[@]}"; do
  dpkg-deb -x "${deb[$package]}" "$root"
  dpkg-deb -c "${deb[$package]}" | awk '$1 !~ /^d/ { sub(/^\.\/usr\//, "", $6); print $6 }' >>"$tmp/packaged"
done
cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
(cd "$tmp/prefix" && find . ! -type d | sed 's|^\./||') | sort >"$tmp/installed"
grep -v -E '^share/doc/[^/]+/(copyright|changelog.gz)$' "$tmp/packaged" | sort >"$tmp/packaged.sorted"
diff "$tmp/installed" "$tmp/packaged.sorted" >"$tmp/difference" ||
  { cat "$tmp/difference"; fail "cmake --install (<) and the packages (>) differ"; }

# The font library from the root's /usr.
usr=$root/usr libdir=$(cd "$root/usr" && dirname "$(find lib -name libzarnok_font.so.1)")
for header in "$usr"/include/zarnok/font/*.h; do echo "#include <font/${header##*/}>" |
  "$cxx" -std=c++17 -Wall -Wextra -Werror -fsyntax-only -I"$usr/include/zarnok" -x c++ - || fail "$header needs more"; done
{ cmake -S "$consumer" -B "$tmp/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$usr" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" && cmake --build "$tmp/cmake"; } >"$tmp/log" 2>&1 ||
  { cat "$tmp/log"; fail "the consumer does not build with CMake"; }
# pkg-config: the packages' file names /usr plainly, the prefix install's its prefix.
grep -qx 'prefix=/usr' "$usr/$libdir/pkgconfig/zarnok-font.pc" || fail "the packaged zarnok-font.pc is not for /usr"
"$cxx" $flags "$consumer/consumer.cpp" -o "$tmp/consumer_pkgconfig" \
  $(PKG_CONFIG_PATH=$tmp/prefix/$libdir/pkgconfig pkg-config --cflags --libs zarnok-font egl gl)
"$usr/bin/zarnok-font-compiler" --name "Packaged OCR-A" /usr/share/fonts/truetype/ocr-a/OCRABold.ttf "$tmp/ocr.glf" ||
  fail "the packaged font compiler did not compile OCR-A Bold"
for program in cmake/consumer_font:1 cmake/consumer_font_static:0 consumer_pkgconfig:1; do
  uses=$(LD_LIBRARY_PATH=$usr/$libdir ldd "$tmp/${program%:*}" | grep -c "libzarnok_font.so.1 => $usr/$libdir/" || true)
  [ "$uses" = "${program#*:}" ] || fail "${program%:*} loads the shared library $uses times"  # ldd
  for font in "$usr/share/zarnok/fonts/techno1.glf" "$tmp/ocr.glf"; do
    LD_LIBRARY_PATH=$usr/$libdir LD_PRELOAD=${ZARNOK_TEST_PRELOAD:-} "$tmp/${program%:*}" "$font" "Zarnok $version" ||
      fail "${program%:*} did not draw the string in $font"
  done
done

# The examples as the doc package holds them, built with CMake and, against the packages'
# root, with pkg-config; each draws its frame.
examples=$usr/share/doc/libzarnok-font-doc/examples fonts=$usr/share/zarnok/fonts
{ cmake -S "$examples" -B "$tmp/examples" -G Ninja -DCMAKE_PREFIX_PATH="$usr" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" && cmake --build "$tmp/examples"; } >"$tmp/log" 2>&1 ||
  { cat "$tmp/log"; fail "the examples do not build with CMake"; }
for example in vector_styles:techno1.glf text_console:techno1.glf bitmap_text:sans_bold.bitmap_font; do
  "$cxx" -std=c++17 $flags "$examples/${example%:*}.cpp" -o "$tmp/${example%:*}" \
    $(PKG_CONFIG_SYSROOT_DIR=$root PKG_CONFIG_PATH=$usr/$libdir/pkgconfig pkg-config --cflags --libs zarnok-font glut gl libpng)
  LD_LIBRARY_PATH=$usr/$libdir "$here/../tests/support/with-xvfb" "$tmp/examples/${example%:*}" \
    "$fonts/${example#*:}" --screenshot "$tmp/${example%:*}.png" && [ -s "$tmp/${example%:*}.png" ] ||
    fail "the example ${example%:*} drew no picture"
done

# The tools print their usage under their own names (lintian holds every program to its
# manual page, and the pages to rendering without a warning).
for tool in "${tools[@]}"; do
  [ -x "$usr/bin/$tool" ] || fail "zarnok-font-tools lacks $tool"
  help=$("$usr/bin/$tool" --help) || fail "$tool --help fails"
  [[ "$help" == "usage: $tool "* ]] || fail "$tool --help does not begin with its usage: $help"
done

# The game, from its launcher.
for f in usr/libexec/zarnok/zarnok usr/share/zarnok/fonts/techno1.glf \
  usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/zarnok.png; do
  [ -e "$root/$f" ] || fail "the packages lack $f"; done
desktop-file-validate "$root/usr/share/applications/zarnok.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null || fail "metainfo"
[ "$("$root/usr/games/zarnok" --version)" = "zarnok $version" ] || fail "zarnok --version is not $version"
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
