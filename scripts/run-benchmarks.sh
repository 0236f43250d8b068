#!/usr/bin/env bash
# run-benchmarks.sh [BUILD_DIR] -- runs every benchmark program (each compares our
# code with a named peer or floor in the same run) and the frame-time measurement of
# a round, and prints one table: benchmark, time per iteration, throughput. The load
# average comes first: figures from a busy machine say little.
set -eu
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)"
printf '%-58s %14s %16s\n' "benchmark" "time/iter" "throughput"
printf '%-58s %14s %16s\n' "---------" "---------" "----------"
for bench in "$build"/bench/*_bench; do
  [ -x "$bench" ] || continue
  # Benchmarks that draw need a GL context; the EGL one needs no display, but run
  # them under Xvfb all the same so that any of them may open a window.
  "$here/../tests/support/with-xvfb" "$bench" --benchmark_format=csv 2>/dev/null |
    awk -F, -v prog="$(basename "$bench")" '
      /^name,/ { header = 1; next }
      header && NF >= 5 {
        name = $1; gsub(/"/, "", name)
        # name, iterations, real_time, cpu_time, time_unit, bytes_per_second, items_per_second
        # Benchmarks timed by the wall clock (the round frame: the driver draws on
        # threads of its own) report real time; the others the CPU time.
        t = name ~ /\/real_time$/ ? $3 : $4; unit = $5; gsub(/"/, "", unit)
        tp = ""
        if ($6 != "") tp = sprintf("%.1f MB/s", $6 / 1e6)
        else if ($7 != "") tp = sprintf("%.0f items/s", $7)
        printf "%-58s %11.1f %-2s %16s\n", prog ":" name, t, unit, tp
      }'
done
if [ -x "$here/measure-round.sh" ]; then
  echo
  "$here/measure-round.sh" "$build"
fi
