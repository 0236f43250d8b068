#!/usr/bin/env bash
# coverage.sh [BUILD_DIR] -- builds the game and its tests with GCC's line coverage
# (unoptimised, no benchmarks), runs the whole suite but the soak, and prints the line
# coverage of each source folder with gcovr. Exits 1 if a folder is below 85 %.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-coverage}
flags=--coverage
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZARNOK_BENCH=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
  -DCMAKE_SHARED_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$build" -j "$(nproc)"
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" -j "$(nproc)" -E '^soak_' --output-on-failure || true
low=0
printf '%-10s %s\n' folder 'line coverage'
for folder in game render image font sound platform; do
  line=$(cd "$root" && gcovr -r . "$build" --filter "$folder/" --print-summary 2>/dev/null | grep '^lines:' || true)
  pct=$(echo "$line" | sed -E 's/^lines: *([0-9.]+)%.*/\1/')
  printf '%-10s %s\n' "$folder/" "${line#lines: }"
  awk -v p="${pct:-0}" 'BEGIN{exit !(p < 85)}' && low=1
done
exit $low
