#!/usr/bin/env bash
# check-manual.sh BUILD_DIR -- the font library's reference manual: Doxygen built it
# without a warning, and every call declared in the installed headers has its own entry.
set -eu
manual=$1/manual tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
[ -f "$manual/html/index.html" ] || { echo "check-manual: no manual in $manual (is doxygen installed?)"; exit 1; }
[ ! -s "$manual/warnings.log" ] || { cat "$manual/warnings.log"; echo "check-manual: Doxygen warned"; exit 1; }
cmake --install "$1" --component development --prefix "$tmp" >/dev/null
calls=$(sed -n 's/^ZARNOK_FONT_API [^(]*[ *]\([A-Za-z0-9_]*\)(.*/\1/p' "$tmp"/include/zarnok/font/*.h | sort -u)
for call in $calls; do
  grep -q "<name>$call</name>" "$manual/zarnok-font.tag" || { echo "check-manual: $call is not in the manual"; exit 1; }
done
echo "check-manual: no warning; all $(echo "$calls" | wc -l) calls of the installed headers are in the manual"
