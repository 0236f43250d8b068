#!/usr/bin/env bash
# windows-deps.sh -- the libraries of the Windows build, cross-built from Debian's
# source packages: freeglut, SDL2 and SDL2_mixer (WAV only) as DLLs; FreeType and
# libpng (for the font tools), and googletest (for the tests), static. zlib is MinGW's
# from Debian (libz-mingw-w64-dev), linked in statically.
#
# The sources come through apt from the archive the system's own apt sources name
# (read at run time), with a private source list and private lists, so the system's
# apt state is never touched. Everything lives in a cache outside the work tree:
#   ${XDG_CACHE_HOME:-$HOME/.cache}/zarnok-windows/  (or $ZARNOK_WINDOWS_CACHE)
#     apt/          the private source list and package lists
#     sources/      the downloaded source packages
#     deps-KEY/     the installed libraries; KEY hashes the source versions, the build
#                   options and the compiler's version, so a second run reuses them
# Each library's copyright file (from its Debian source) goes into
# deps-KEY/share/licenses/NAME, to be shipped with what is built from it.
# Prints the installed prefix as its only line on standard output; the rest goes to
# standard error. Runs once at a time (a lock in the cache).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
toolchain="$repo/cmake/windows_cross_toolchain.cmake"
cache=${ZARNOK_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zarnok-windows}
say() { echo "windows-deps: $*" >&2; }

"$here/setup.sh" "$here/windows-packages.txt" >&2
mkdir -p "$cache/apt/lists/partial" "$cache/sources"
exec 9>"$cache/lock"
flock 9

# Source package name and its build options, one per line: NAME|DIR-GLOB|CMAKE OPTIONS.
recipes=(
  "libpng1.6|libpng1.6-*|-DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DZLIB_USE_STATIC_LIBS=ON"
  "freetype|freetype-*|-DBUILD_SHARED_LIBS=OFF -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON"
  "freeglut|freeglut-*|-DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_BUILD_SHARED_LIBS=ON -DFREEGLUT_BUILD_STATIC_LIBS=OFF"
  "libsdl2|libsdl2-*|-DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL_RENDER=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF"
  "libsdl2-mixer|libsdl2-mixer-*|-DBUILD_SHARED_LIBS=ON -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_WAVE=ON -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF -DSDL2MIXER_CMD=OFF -DSDL2MIXER_SAMPLES=OFF"
  "googletest|googletest-*|-DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON"
)
names=()
for recipe in "${recipes[@]}"; do names+=("${recipe%%|*}"); done

# The archive: the first URIs line of the system's own sources, and its key ring.
system_sources=/etc/apt/sources.list.d/debian.sources
archive=$(awk '/^URIs:/ {print $2; exit}' "$system_sources")
keyring=$(awk '/^Signed-By:/ {print $2; exit}' "$system_sources")
[ -n "$archive" ] || { say "no URIs line in $system_sources"; exit 1; }
echo "deb-src [signed-by=${keyring:-/usr/share/keyrings/debian-archive-keyring.gpg}] $archive bookworm main" \
  >"$cache/apt/sources.list"
apt_private=(-o "Dir::Etc::SourceList=$cache/apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
  -o "Dir::State::Lists=$cache/apt/lists" -o APT::Sandbox::User=root)
if ! compgen -G "$cache/apt/lists/*Sources*" >/dev/null; then
  say "reading the archive's list of source packages"
  apt-get "${apt_private[@]}" -q update >&2
fi

# The source versions apt would fetch (their .dsc names) make the cache key.
mapfile -t dscs < <(apt-get "${apt_private[@]}" source --print-uris "${names[@]}" 2>/dev/null |
  awk '$2 ~ /\.dsc$/ {print $2}')
[ ${#dscs[@]} -eq ${#names[@]} ] || { say "apt found ${#dscs[@]} of ${#names[@]} source packages"; exit 1; }
compiler=$(x86_64-w64-mingw32-g++-posix --version | head -1)
key=$(printf '%s\n' "${dscs[@]}" "${recipes[@]}" "$compiler" | sha256sum | cut -c1-16)
prefix="$cache/deps-$key"
# The licences of what is shipped: each source package's copyright file, and zlib's.
copy_licenses() {
  mkdir -p "$prefix/share/licenses"
  cp /usr/share/doc/libz-mingw-w64-dev/copyright "$prefix/share/licenses/zlib"
  for dsc in "${dscs[@]}"; do
    tar -xOJf "$cache/sources/${dsc%.dsc}.debian.tar.xz" debian/copyright >"$prefix/share/licenses/${dsc%%_*}"
  done
}
if [ -f "$prefix/.complete" ]; then
  [ -f "$prefix/share/licenses/zlib" ] || copy_licenses
  say "cached: $prefix"
  echo "$prefix"
  exit 0
fi

started=$(date +%s)
say "building into $prefix: ${dscs[*]}"
rm -rf "$prefix"
work=$(mktemp -d "$cache/build.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$cache/sources" && apt-get "${apt_private[@]}" -q source --download-only "${names[@]}" >&2)
for recipe in "${recipes[@]}"; do
  IFS='|' read -r name dir options <<<"$recipe"
  dsc=$(printf '%s\n' "${dscs[@]}" | grep "^${name}_")
  say "$name: $dsc"
  (cd "$work" && dpkg-source --no-check -x "$cache/sources/$dsc" >/dev/null)
  src=$(compgen -G "$work/$dir" | head -1)
  # shellcheck disable=SC2086
  cmake -S "$src" -B "$work/build-$name" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DZARNOK_WINDOWS_DEPS="$prefix" \
    -DCMAKE_INSTALL_PREFIX="$prefix" $options >"$work/$name.log" 2>&1 ||
    { cat "$work/$name.log" >&2; exit 1; }
  { cmake --build "$work/build-$name" -j 2 && cmake --install "$work/build-$name"; } >>"$work/$name.log" 2>&1 ||
    { tail -50 "$work/$name.log" >&2; exit 1; }
done
copy_licenses
printf '%s\n' "${dscs[@]}" "${recipes[@]}" "$compiler" >"$prefix/.complete"
say "built in $(($(date +%s) - started)) s"
echo "$prefix"
