#!/usr/bin/env bash
# setup.sh [LIST] -- installs the Debian packages that the build, the game and the
# tests need (listed in scripts/packages.txt, or in LIST: scripts/windows-packages.txt
# for the Windows build) when any is missing. As root it runs apt-get; otherwise it
# prints the exact command and stops.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "${1:-$here/packages.txt}")
missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
cmd="apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=120 ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing Debian packages: ${missing[*]}" >&2
  echo "setup: install them as root with:" >&2
  echo "  apt-get update && $cmd" >&2
  exit 1
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
# shellcheck disable=SC2086
apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=120 "${missing[@]}"
