#!/usr/bin/env bash
# font_abi_test.sh BASELINE LIBRARY HEADERS -- the built font library against the ABI of
# its release (libabigail's abidiff; BASELINE made by abidw). Calls may be added within
# a soname; anything removed or changed fails, with abidiff's own report.
set -uo pipefail
report=$(abidiff --headers-dir2 "$3" "$1" "$2")
status=$?
echo "$report"
if (( status & 3 )); then
  echo "font_abi_test: abidiff could not compare (status $status)"
  exit 1
fi
if (( status & 8 )) || grep -qE '[1-9][0-9]* (Removed|Changed)' <<<"$report"; then
  echo "font_abi_test: the font library's ABI is not compatible with $(basename "$1")"
  exit 1
fi
echo "font_abi_test: compatible with $(basename "$1")"
