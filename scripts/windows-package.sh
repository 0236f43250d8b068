#!/usr/bin/env bash
# windows-package.sh BUILD_DIR -- what a Windows user gets, from a built Windows tree
# (cmake/windows_install.cmake), into BUILD_DIR/packages/:
#   zarnok-VERSION-setup.exe          the 64-bit installer (packaging/windows_installer.nsi)
#   zarnok-VERSION-windows.zip        the same files as a portable folder Zarnok/
#   zarnok-font-VERSION-windows.zip   the font library for developers: headers, DLL,
#                                     import and static library, CMake package, tools
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
version=$(awk -F= '$1 == "CMAKE_PROJECT_VERSION:STATIC" {print $2}' "$build/CMakeCache.txt")
out="$build/packages"
stage="$out/stage"
rm -rf "$out"
mkdir -p "$stage"
cmake --install "$build" --component game --prefix "$stage/Zarnok" --strip >/dev/null
cmake --install "$build" --component development --prefix "$stage/zarnok-font-$version" --strip >/dev/null

# The installer's file lists: each file under its folder, and for the uninstaller the
# same files, then the folders deepest first.
game="$stage/Zarnok"
(
  cd "$game"
  find . -type d | sort | while read -r dir; do
    win=${dir#.}
    echo "SetOutPath \"\$INSTDIR${win//\//\\}\""
    find "$dir" -maxdepth 1 -type f | sort | while read -r file; do
      echo "File \"$game/${file#./}\""
    done
  done >"$game.install.nsh"
  find . -type f | sort | sed -e 's|^\.||' -e 's|/|\\|g' -e 's|.*|Delete "$INSTDIR&"|' >"$game.uninstall.nsh"
  find . -mindepth 1 -type d | sort -r | sed -e 's|^\.||' -e 's|/|\\|g' -e 's|.*|RMDir "$INSTDIR&"|' \
    >>"$game.uninstall.nsh"
)
size_kb=$(du -sk "$game" | cut -f1)
makensis -V2 -DVERSION="$version" -DGAME_FILES="$game" -DSIZE_KB="$size_kb" \
  -DOUTPUT="$out/zarnok-$version-setup.exe" "$here/../packaging/windows_installer.nsi"
(cd "$stage" && zip -qr -X "$out/zarnok-$version-windows.zip" Zarnok)
(cd "$stage" && zip -qr -X "$out/zarnok-font-$version-windows.zip" "zarnok-font-$version")
echo "Made in $out:"
(cd "$out" && ls -l ./*.exe ./*.zip | awk '{printf "  %-36s %9d bytes\n", substr($9, 3), $5}')
