#!/usr/bin/env bash
# cppcheck, its search for functions nothing calls, and a chosen set of
# clang-tidy checks (.clang-tidy) over the program's own code; any finding
# fails. Needs a configured build folder for its compile commands (default
# build/test).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/test}
folders=(app sim render sound platform/glpng platform/bass platform/report platform/files)
# Files that only the Windows or the browser's build compiles have no compile
# commands here, and stand in for their Linux counterparts: they are read
# apart. So is the browser's GL layer (platform/webgl), which cppcheck alone
# reads: its wrappers are called only through the linker.
cross_only_names=(\( -name '*Windows.cpp' -o -name '*Web.cpp' \))
sources=$(find "${folders[@]}" \( -name '*.cpp' -o -name '*.c' \) ! "${cross_only_names[@]}" | sort)
read_apart=()
for file in $(find "${folders[@]}" "${cross_only_names[@]}"); do read_apart+=(-i "$file"); done

includes=()
for folder in "${folders[@]}"; do includes+=(-I "$folder"); done
jobs=$(nproc)
cppcheck --quiet --error-exitcode=1 --enable=warning,style,performance,portability --inline-suppr \
  --std=c++17 --suppress=missingIncludeSystem -j "$jobs" "${includes[@]}" "${folders[@]}" \
  platform/webgl

# Functions that nothing calls, looked for over the program with its tests and
# benchmarks, its callers; a fixture's SetUp and TearDown are GoogleTest's own.
unused=$(cppcheck --quiet --enable=unusedFunction --std=c++17 --suppress=missingIncludeSystem \
  --template='{file}:{line}: {message}' "${includes[@]}" -I tests/support "${read_apart[@]}" \
  "${folders[@]}" tests bench 2>&1 |
  grep -vE "'(SetUp|TearDown)' is never used" || true)
if [ -n "$unused" ]; then
  echo "$unused"
  exit 1
fi

# One file a run, as many at once as there are cores; any finding fails.
printf '%s\n' $sources | xargs -P "$jobs" -n 1 clang-tidy -p "$build" --quiet 2>/dev/null
