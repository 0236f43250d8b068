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

# The program's icon: the desktop icon's pictures in one icon file (a directory of
# 16-byte little-endian entries, then the pictures as PNG, which Windows Vista and later
# read), built into zarnok.exe and shown by the installer.
little_endian() {  # VALUE BYTES
  local value=$1 i
  for ((i = 0; i < $2; i++)); do
    printf "\\$(printf %03o $((value & 255)))"
    value=$((value >> 8))
  done
}
pictures=("$host"/icons/{16x16,24x24,32x32,48x48,64x64,256x256}/zarnok.png)
mkdir -p "$build/icons"
{
  little_endian 0 2 && little_endian 1 2 && little_endian ${#pictures[@]} 2
  offset=$((6 + 16 * ${#pictures[@]}))
  for picture in "${pictures[@]}"; do
    side=$(basename "$(dirname "$picture")") side=${side%%x*} bytes=$(stat -c %s "$picture")
    little_endian $((side % 256)) 1 && little_endian $((side % 256)) 1 && little_endian 0 2
    little_endian 1 2 && little_endian 32 2 && little_endian "$bytes" 4 && little_endian "$offset" 4
    offset=$((offset + bytes))
  done
  cat "${pictures[@]}"
} >"$build/icons/zarnok.ico"

# shellcheck disable=SC2086
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARNOK_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/windows_cross_toolchain.cmake" -DZARNOK_WINDOWS_DEPS="$deps" \
  -DZARNOK_BENCH=OFF ${ZARNOK_WINDOWS_CMAKE_ARGS:--DZARNOK_TESTS=OFF} >/dev/null
cmake -E copy_directory "$host/assets" "$build/assets"
cmake --build "$build" -j 2
"$here/windows-package.sh" "$build"
echo "make windows: $(($(date +%s) - started)) s"
