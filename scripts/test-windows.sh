#!/usr/bin/env bash
# test-windows.sh BUILD -- runs the tests of the Windows build in BUILD (cross-built with
# them) through Wine with ctest; the programs find the libraries' DLLs in the prefix of
# scripts/windows-deps.sh (cached). The Wine prefix is a private one, BUILD/wine-prefix,
# made on first use; its server is held up for the whole run (each test then starts in
# well under a second) and stopped at the end. Wine is booted under a display: a Wine
# session started without one can never open a window later, not even under the Xvfb
# each test program gets (tests/support/with-xvfb).
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=d;mshtml=d"
dlls="$("$here/windows-deps.sh")/bin"
export WINEPATH="Z:${dlls//\//\\}"  # Wine's drive Z: is the root folder
mkdir -p "$WINEPREFIX"
wineserver -k 2>/dev/null || true  # a server left by a run that was cut short
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p
if ! "$here/../tests/support/with-xvfb" wineboot -i </dev/null >"$build/wineboot.log" 2>&1; then
  echo "test-windows: Wine did not start:" >&2
  cat "$build/wineboot.log" >&2
  exit 1
fi
ctest --test-dir "$build" --output-on-failure -j "${JOBS:-2}"
