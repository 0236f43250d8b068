#!/usr/bin/env bash
# windows-build.sh BUILD_DIR [HOST_BUILD_DIR] -- `make windows`: the game, the three
# font tools and the font library (DLL, import library) for 64-bit Windows, cross-built
# with warnings as errors into BUILD_DIR, then the installer and the zips
# (scripts/windows-package.sh). The libraries come from scripts/windows-deps.sh (cached
# outside the tree). The assets are made by the Linux build's own tools in
# HOST_BUILD_DIR (default BUILD_DIR-host, the tools alone): they are data, the same
# bytes on both systems, and need no Wine to make. Extra CMake options for the Windows
# tree: $ZARNOK_WINDOWS_CMAKE_ARGS.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
build=${1:-build-windows}
host=${2:-$build-host}
started=$(date +%s)

"$here/setup.sh"
deps=$("$here/windows-deps.sh")

cmake -S "$repo" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNOK_WERROR=ON \
  -DZARNOK_TESTS=OFF -DZARNOK_BENCH=OFF >/dev/null
cmake --build "$host" -j 2 --target textures sounds game_font bitmap_fonts icon_sizes

# The program's icon: the desktop icon's pictures in one icon file (ImageMagick), built
# into zarnok.exe and shown by the installer.
mkdir -p "$build/icons"
convert "$host"/icons/{16x16,24x24,32x32,48x48,64x64,256x256}/zarnok.png "$build/icons/zarnok.ico"

# shellcheck disable=SC2086
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNOK_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/windows_cross_toolchain.cmake" -DZARNOK_WINDOWS_DEPS="$deps" \
  -DZARNOK_BENCH=OFF ${ZARNOK_WINDOWS_CMAKE_ARGS:--DZARNOK_TESTS=OFF} >/dev/null
cmake -E copy_directory "$host/assets" "$build/assets"
cmake --build "$build" -j 2
"$here/windows-package.sh" "$build"
echo "make windows: $(($(date +%s) - started)) s"
