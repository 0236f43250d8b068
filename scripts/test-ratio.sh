#!/usr/bin/env bash
# (A copy of the project owner's counting script, so CI can apply the rule on a machine without it.)
# test_ratio.sh -- how big the tests are against the code they test.
# Counts non-blank lines of the files git tracks: code is every C/C++ source and header
# under game/ render/ image/ font/ sound/ platform/ tools/; tests are every source, helper,
# CMake and shell or Python driver under tests/ and fuzz/ (data files such as corpora aside),
# any other tracked C/C++ file that uses GoogleTest or is a fuzz target, and any script under
# scripts/ that a file under tests/ names (a test's driver is part of the test).
# Run from the project's root. Exits 1 when the tests are outside a quarter to a third
# of the code (with 2 points of slack either way), 0 otherwise.
set -euo pipefail
count() { git ls-files -z -- "$@" | xargs -0 -r cat | grep -cv '^[[:space:]]*$' || true; }
code=$(count 'game/*.cpp' 'game/*.h' 'render/*.cpp' 'render/*.h' 'image/*.cpp' 'image/*.h' \
             'font/*.cpp' 'font/*.h' 'sound/*.cpp' 'sound/*.h' 'platform/*.cpp' 'platform/*.h' \
             'tools/*.cpp' 'tools/*.h' 'tools/*.c')
tests=$(count 'tests/*.cpp' 'tests/*.h' 'tests/*.c' 'tests/*.cmake' 'tests/*CMakeLists.txt' 'tests/*.sh' 'tests/*.py' \
              'fuzz/*.cpp' 'fuzz/*.h' 'fuzz/*.c' 'fuzz/*.cmake' 'fuzz/*CMakeLists.txt' 'fuzz/*.sh' 'fuzz/*.py')
extra=$( { git ls-files -- '*.cpp' '*.h' '*.cc' | grep -v -E '^(tests|fuzz)/' \
            | xargs -r grep -l -E 'gtest/gtest.h|LLVMFuzzerTestOneInput' 2>/dev/null || true
          for f in $(git ls-files -- 'scripts/*'); do
            if git grep -q -F "$(basename "$f")" -- tests; then echo "$f"; fi
          done; } | sort -u)
if [ -n "$extra" ]; then
  more=$(echo "$extra" | tr '\n' '\0' | xargs -0 -r cat | grep -cv '^[[:space:]]*$' || true)
  tests=$((tests + more))
  code_extra=$(echo "$extra" | grep -E '^(game|render|image|font|sound|platform|tools)/' | tr '\n' '\0' | xargs -0 -r cat | grep -cv '^[[:space:]]*$' || true)
  code=$((code - code_extra))
fi
[ "$code" -gt 0 ] || { echo "test_ratio: no code found (run it from the project's root)"; exit 2; }
pct=$(awk -v t="$tests" -v c="$code" 'BEGIN{printf "%.1f", 100 * t / c}')
echo "code $code lines, tests $tests lines: tests are $pct % of the code (wanted 25-33 %)"
awk -v p="$pct" 'BEGIN{exit !(p >= 23 && p <= 35)}'
